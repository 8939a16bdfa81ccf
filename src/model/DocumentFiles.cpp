#include "DocumentFiles.h"

#include "Error.h"
#include "FieldLine.h"
#include "WholeNumber.h"

namespace qm {

namespace {

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

// A forward scanner over the lines of a file with a current line, tolerant of anything
// between the tags it looks for. Running out of lines is an error that names what was
// still expected.
class LineScanner {
public:
    LineScanner(const TextFile& file, const std::string& shownPath) : file_(file), path_(shownPath) {}

    // Makes the next line the current one and returns it; throws when none is left,
    // naming what the line should have been: Read("the version") or, where a tag is
    // what is missing, ReadBefore("</Item_Parameters>").
    std::string_view Read(std::string_view expected) { return Next(expected, false); }
    std::string_view ReadBefore(std::string_view tag) { return Next(tag, true); }
    // Reads on until the current line is tag; the current line itself counts.
    void SkipUntil(std::string_view tag) {
        while (next_ == 0 || current_ != tag) ReadBefore(tag);
    }
    int CurrentLineNumber() const { return static_cast<int>(next_); }
    [[noreturn]] void Fail(int line, std::string reason) const { throw Error(path_, line, std::move(reason)); }

private:
    std::string_view Next(std::string_view expected, bool isTag) {
        if (next_ >= file_.LineCount()) {
            const std::string what = isTag ? "\"" + std::string(expected) + "\"" : std::string(expected);
            Fail(static_cast<int>(file_.LineCount()), "the file ends before " + what);
        }
        current_ = file_.Line(next_++);
        return current_;
    }

    const TextFile& file_;
    const std::string& path_;
    std::size_t next_ = 0;
    std::string_view current_;
};

void RequireContent(const TextFile& file, const std::string& shownPath) {
    if (file.LineCount() == 0) throw Error(shownPath, 0, "the file is empty");
}

// The levels of the items as they are read, checked while each line is at hand.
class LevelCheck {
public:
    explicit LevelCheck(std::size_t expected) { levels_.reserve(expected); }
    void Add(const std::string& text, int line) {
        const auto level = ParseWholeNumber(text);
        levels_.push_back(level.value_or(0));
        if (!level && badLine_ == 0) {
            badLine_ = line;
            badText_ = text;
        }
    }
    // Fails on the first level that is no whole number; then turns levels that cannot
    // stand where they are into the nearest possible parent's, and counts those.
    void Settle(ParsedDocument& document, LineScanner& scanner) const {
        if (badLine_ != 0) scanner.Fail(badLine_, "level '" + badText_ + "' is not a whole number");
        const auto depths = EffectiveDepths(levels_);
        for (std::size_t i = 0; i < depths.size(); ++i) {
            if (depths[i] != levels_[i]) {
                document.items[i].Level = std::to_string(depths[i]);
                ++document.report.reattachedItems;
            }
        }
    }

private:
    std::vector<long long> levels_;
    int badLine_ = 0;
    std::string badText_;
};

}  // namespace

std::string WriteProjectText(const TAppletData& appletData, const TItemArray& items,
                             IProgressDisplay& progress) {
    const int n = static_cast<int>(items.size());
    progress.SetProgressMaximum(n * 10 + 15);
    std::string out;
    out.reserve(512 + items.size() * 96);
    for (const auto line : {"<Warning_Info>",
                            "Note: This file was created and maintained by Quillamere 1.0.",
                            "Do not modify it or script project may not be opened again!",
                            "</Warning_Info>", "<Product_Name>", "Quillamere", "</Product_Name>",
                            "<Product_Version>", "1.0", "</Product_Version>"})
        AppendLine(out, line);
    progress.AdvanceProgress(10);

    AppendLine(out, "<Applet_Parameters>");
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        out += appletData.Field(i);
        out += kFieldSeparator;
    }
    out += kLineEnd;
    AppendLine(out, "</Applet_Parameters>");
    progress.AdvanceProgress(5);

    AppendLine(out, "<Item_Parameters>");
    for (const auto& item : items) {
        for (std::size_t i = 0; i < TItemData::kFieldCount; ++i) {
            out += item.Field(i);
            out += kFieldSeparator;
        }
        out += kLineEnd;
        progress.AdvanceProgress(static_cast<int>(TItemData::kFieldCount));
    }
    AppendLine(out, "</Item_Parameters>");
    return out;
}

ParsedDocument ParseProjectFile(const TextFile& file, const std::string& shownPath) {
    RequireContent(file, shownPath);
    LineScanner scanner(file, shownPath);
    ParsedDocument document;

    scanner.SkipUntil("<Product_Name>");
    const auto product = scanner.Read("the product name");
    if (product != "Quillamere" && product != "Corvantis")
        scanner.Fail(scanner.CurrentLineNumber(), std::string(kProjectRefusal));
    scanner.ReadBefore("<Product_Version>");  // normally "</Product_Name>"; not checked

    scanner.SkipUntil("<Product_Version>");
    scanner.Read("the version");  // not interpreted
    scanner.ReadBefore("<Applet_Parameters>");  // normally "</Product_Version>"

    scanner.SkipUntil("<Applet_Parameters>");
    const auto parameters = scanner.Read("the parameter line");
    ForEachField(parameters, TAppletData::kFieldCount,
                 [&](std::size_t i, std::string_view field) { document.appletData.Field(i).assign(field); });

    scanner.SkipUntil("<Item_Parameters>");  // starting with the parameter line itself
    // Every line up to the closing tag is an item: split each once, straight into its
    // record (missing trailing fields stay empty, extra ones are ignored).
    const auto remaining = file.LineCount() - static_cast<std::size_t>(scanner.CurrentLineNumber());
    document.items.reserve(remaining);
    LevelCheck levels(remaining);
    std::string_view line;
    while ((line = scanner.ReadBefore("</Item_Parameters>")) != "</Item_Parameters>") {
        auto& item = document.items.emplace_back();
        // Appending to an empty string is the cheapest way to fill it; most fields are
        // short or empty.
        ForEachField(line, TItemData::kFieldCount, [&](std::size_t i, std::string_view field) {
            if (!field.empty()) item.Field(i).append(field.data(), field.size());
        });
        levels.Add(item.Level, scanner.CurrentLineNumber());
    }
    levels.Settle(document, scanner);
    document.report.windows1252 = file.Windows1252();
    return document;
}

std::string WriteMenuStructureText(const TItemArray& items, IProgressDisplay& progress) {
    progress.SetProgressMaximum(static_cast<int>(items.size()) * 10 + 15);
    std::string out;
    out.reserve(512 + items.size() * 64);
    for (const auto line : {"<Generator_Name>", "Quillamere", "</Generator_Name>",
                            "<Generator_Version>", "1.0", "</Generator_Version>", "<Product_Name>",
                            kExchangeFormatName.data(), "</Product_Name>", "<Product_Version>", "1.0",
                            "</Product_Version>"})
        AppendLine(out, line);
    progress.AdvanceProgress(10);
    progress.AdvanceProgress(5);
    AppendLine(out, "<Structure_Description>");
    for (const auto& item : items) {
        for (const auto* field : {&item.Level, &item.Text, &item.Link, &item.Target, &item.Reserved5}) {
            out += *field;
            out += kFieldSeparator;
        }
        out += kLineEnd;
    }
    AppendLine(out, "</Structure_Description>");
    return out;
}

ParsedDocument ParseMenuStructureFile(const TextFile& file, const std::string& shownPath) {
    RequireContent(file, shownPath);
    LineScanner scanner(file, shownPath);
    ParsedDocument document;
    document.appletData = DefaultAppletData();

    scanner.SkipUntil("<Product_Name>");
    if (scanner.Read("the format name") != kExchangeFormatName)
        scanner.Fail(scanner.CurrentLineNumber(), std::string(kExchangeRefusal));
    scanner.ReadBefore("<Product_Version>");  // normally "</Product_Name>"; not checked

    scanner.SkipUntil("<Product_Version>");
    scanner.Read("the version");  // not interpreted
    scanner.ReadBefore("<Structure_Description>");  // normally "</Product_Version>"

    scanner.SkipUntil("<Structure_Description>");
    const auto remaining = file.LineCount() - static_cast<std::size_t>(scanner.CurrentLineNumber());
    document.items.reserve(remaining);
    LevelCheck levels(remaining);
    std::string_view line;
    while ((line = scanner.ReadBefore("</Structure_Description>")) != "</Structure_Description>") {
        // Each of the five carried fields is assigned even when the line lacks it, so a
        // missing one is empty (not NewItemData's "Item" or "_self"): start from an empty
        // record.
        auto& item = document.items.emplace_back();
        static constexpr std::string TItemData::*kCarried[] = {&TItemData::Level, &TItemData::Text, &TItemData::Link,
                                                                &TItemData::Target, &TItemData::Reserved5};
        ForEachField(line, std::size(kCarried),
                     [&](std::size_t i, std::string_view field) { (item.*kCarried[i]).assign(field); });
        levels.Add(item.Level, scanner.CurrentLineNumber());
    }
    levels.Settle(document, scanner);
    document.report.windows1252 = file.Windows1252();
    return document;
}

DocumentFileKind DetectDocumentFileKind(const TextFile& file) {
    for (std::size_t i = 0; i + 1 < file.LineCount(); ++i) {
        const auto line = file.Line(i);
        if (line == "<Generator_Name>" || line == "<Structure_Description>") return DocumentFileKind::MenuStructure;
        if (line == "<Warning_Info>" || line == "<Applet_Parameters>" || line == "<Item_Parameters>")
            return DocumentFileKind::Project;
        if (line == "<Product_Name>")
            return file.Line(i + 1) == kExchangeFormatName ? DocumentFileKind::MenuStructure
                                                           : DocumentFileKind::Project;
    }
    return DocumentFileKind::Unknown;
}

}  // namespace qm
