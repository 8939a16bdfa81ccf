// The menu structure reader on any bytes: a document with the default look or a
// refusal with qm::Error, nothing else; a document it returns is exported and imported
// back with the same items (the five carried fields, every other one empty).
#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "FuzzInput.h"

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParsedDocument document;
    try {
        document = ParseMenuStructureFile(
            TextFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size)), "fuzz.gms");
    } catch (const Error&) {
        return 0;
    }
    fuzz::Check(document.appletData == DefaultAppletData(), "an import does not have the default look");
    for (const auto& item : document.items.Records())
        fuzz::Check(item.Reserved1.empty() && item.Reserved4.empty() && item.Reserved7.empty() &&
                        item.Reserved8.empty() && item.ParentIndex.empty(),
                    "an imported item holds a field the format does not carry", item.Text);
    NullProgressDisplay quiet;
    const auto written = WriteMenuStructureText(document.items, quiet);
    ParsedDocument again;
    try {
        again = ParseMenuStructureFile(TextFile::FromBytes(written), "again.gms");
    } catch (const Error& error) {
        fuzz::Check(false, "the reader refuses what the writer wrote", error.what());
    }
    fuzz::Check(again.items.Records() == document.items.Records(), "the items change on the round trip", written);
    fuzz::Check(again.report.reattachedItems == 0, "a written level had to be re-attached", written);
    return 0;
}
