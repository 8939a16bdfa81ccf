#pragma once
// The least any reader of a project file has to do, as the yardstick of the load
// benchmarks: the file in one buffer, its lines split with memchr and kept as string
// views into the buffer, each line's separated fields split into views as well (and
// their lengths summed, so the split is not optimised away). No checks, no records.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace bench {

struct MinimalDocument {
    std::unique_ptr<char[]> buffer;
    std::vector<std::string_view> lines;
    std::size_t fieldCount = 0;
    std::size_t fieldBytes = 0;
};

inline MinimalDocument ReadMinimally(const char* path) {
    MinimalDocument document;
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return document;
    std::fseek(in, 0, SEEK_END);
    const auto size = static_cast<std::size_t>(std::ftell(in));
    std::fseek(in, 0, SEEK_SET);
    document.buffer.reset(new char[size]);
    const auto got = std::fread(document.buffer.get(), 1, size, in);
    std::fclose(in);

    const char* p = document.buffer.get();
    const char* const end = p + got;
    while (p < end) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* lineEnd = newline ? newline : end;
        const std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
        document.lines.push_back(line);
        std::string_view fields[16];
        std::size_t count = 0;
        std::size_t start = 0;
        for (std::size_t at = line.find("#$@"); at != std::string_view::npos && count < 16;
             at = line.find("#$@", start)) {
            fields[count++] = line.substr(start, at - start);
            start = at + 3;
        }
        for (std::size_t i = 0; i < count; ++i) document.fieldBytes += fields[i].size();
        document.fieldCount += count;
        p = newline ? newline + 1 : end;
    }
    return document;
}

}  // namespace bench
