#include "model/FieldLine.h"

namespace qm {

std::string GetDelimitedField(std::string_view text, int n, std::string_view separator) {
    if (n <= 0 || separator.empty()) return {};
    std::string_view field;
    for (int round = 0; round < n; ++round) {
        const auto at = text.find(separator);
        if (at == std::string_view::npos) return {};
        field = text.substr(0, at);
        text.remove_prefix(at + separator.size());
    }
    return std::string(field);
}

std::vector<std::string> SplitFieldLine(std::string_view line, std::size_t count,
                                        std::string_view separator) {
    std::vector<std::string> fields(count);
    ForEachField(line, count, [&](std::size_t i, std::string_view text) { fields[i].assign(text); }, separator);
    return fields;
}

void AppendFieldLine(std::string& out, const std::vector<std::string>& fields,
                     std::string_view separator) {
    for (const auto& field : fields) {
        out += field;
        out += separator;
    }
}

}  // namespace qm
