// The project reader on any bytes: it returns a document or refuses the file with
// qm::Error, nothing else (no crash, no other exception); a document it returns is
// written and read back field for field, with no level left to re-attach.
#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "FuzzInput.h"

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParsedDocument document;
    try {
        document = ParseProjectFile(TextFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size)),
                                    "fuzz.zorbel");
    } catch (const Error&) {
        return 0;
    }
    NullProgressDisplay quiet;
    const auto written = WriteProjectText(document.appletData, document.items, quiet);
    ParsedDocument again;
    try {
        again = ParseProjectFile(TextFile::FromBytes(written), "again.zorbel");
    } catch (const Error& error) {
        fuzz::Check(false, "the reader refuses what the writer wrote", error.what());
    }
    fuzz::Check(again.appletData == document.appletData, "the look changes on the round trip", written);
    fuzz::Check(again.items.Records() == document.items.Records(), "the items change on the round trip", written);
    fuzz::Check(again.report.reattachedItems == 0, "a written level had to be re-attached", written);
    fuzz::Check(again.report.windows1252.count == 0, "the written file is not UTF-8", written);
    return 0;
}
