#pragma once
// A stream buffer over an open file (the standard output) that remembers why a write
// failed, so that the tool can say it and exit with a failure instead of losing output
// without a word ("standard output: No space left on device").

#include <array>
#include <streambuf>
#include <system_error>

#include "model/FileDescriptor.h"

namespace qm {

class OutputFileBuffer final : public std::streambuf {
public:
    explicit OutputFileBuffer(FileDescriptor file);
    ~OutputFileBuffer() override;

    // Writes what is buffered and closes the file. Returns the first failure of any
    // write, the flush or the close; later writes are refused.
    std::error_code Close();
    const std::error_code& Failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    bool WriteOut(const char* data, std::size_t size);

    FileDescriptor file_;
    std::array<char, 1 << 16> buffer_{};
    std::error_code failure_;
};

}  // namespace qm
