#include "cli/OutputFile.h"

#include <string_view>

#include "model/FileSystem.h"

namespace qm {

OutputFileBuffer::OutputFileBuffer(FileDescriptor file) : file_(std::move(file)) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

OutputFileBuffer::~OutputFileBuffer() {
    Close();
}

bool OutputFileBuffer::WriteOut(const char* data, std::size_t size) {
    if (failure_) return false;
    if (!file_.IsOpen()) {
        failure_ = std::make_error_code(std::errc::bad_file_descriptor);
        return false;
    }
    os::WriteAll(file_, std::string_view(data, size), failure_);
    return !failure_;
}

int OutputFileBuffer::sync() {
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return pending == 0 || WriteOut(buffer_.data(), pending) ? 0 : -1;
}

OutputFileBuffer::int_type OutputFileBuffer::overflow(int_type c) {
    if (sync() != 0) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize OutputFileBuffer::xsputn(const char* data, std::streamsize size) {
    // A part larger than the buffer goes out at once, after what is buffered.
    if (size > epptr() - pptr()) {
        if (sync() != 0 || !WriteOut(data, static_cast<std::size_t>(size))) return 0;
        return size;
    }
    return std::streambuf::xsputn(data, size);
}

std::error_code OutputFileBuffer::Close() {
    sync();
    if (file_.IsOpen()) {
        std::error_code closing;
        os::Close(file_, closing);
        if (!failure_) failure_ = closing;
    }
    return failure_;
}

}  // namespace qm
