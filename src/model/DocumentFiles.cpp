#include "model/DocumentFiles.h"

#include <algorithm>
#include <optional>

#include "model/Error.h"
#include "model/FieldLine.h"
#include "model/LookValues.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

// Lines 1 to 10 of a project file.
constexpr std::string_view kProjectHead[] = {"<Warning_Info>",
                                             "Note: This file was created and maintained by Quillamere 1.0.",
                                             "Do not modify it or script project may not be opened again!",
                                             "</Warning_Info>",
                                             "<Product_Name>",
                                             "Quillamere",
                                             "</Product_Name>",
                                             "<Product_Version>",
                                             "1.0",
                                             "</Product_Version>"};

// A project file up to its first item line: the head, the parameters and the opening
// tag of the items.
void AppendProjectHead(std::string& out, const TAppletData& appletData) {
    for (const auto line : kProjectHead) AppendLine(out, line);
    AppendLine(out, "<Applet_Parameters>");
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        out += appletData.Field(i);
        out += kFieldSeparator;
    }
    out += kLineEnd;
    AppendLine(out, "</Applet_Parameters>");
    AppendLine(out, "<Item_Parameters>");
}

// A forward scanner over the lines of a text with a current line, tolerant of anything
// between the tags it looks for. Running out of lines is an error that names what was
// still expected.
class LineScanner {
public:
    LineScanner(std::string_view text, const std::string& shownPath) : cursor_(text), path_(shownPath) {}

    // Makes the next line the current one and returns it; throws when none is left,
    // naming what the line should have been: Read("the version") or, where a tag is
    // what is missing, ReadBefore("</Item_Parameters>").
    std::string_view Read(std::string_view expected) { return Next(expected, false); }
    std::string_view ReadBefore(std::string_view tag) { return Next(tag, true); }
    // Reads on until the current line is tag; the current line itself counts.
    void SkipUntil(std::string_view tag) {
        while (cursor_.LineNumber() == 0 || current_ != tag) ReadBefore(tag);
    }
    // The format's first tag: a file that has it nowhere is not of the format at all,
    // which says more than the line it ended on.
    void SkipToFormatTag(std::string_view tag, std::string_view refusal) {
        while (cursor_.LineNumber() == 0 || current_ != tag)
            if (!cursor_.Next(current_)) Fail(0, std::string(refusal));
    }
    int CurrentLineNumber() const { return cursor_.LineNumber(); }
    bool CurrentEndedInCrLf() const { return cursor_.EndedInCrLf(); }
    bool AtEnd() const { return cursor_.AtEnd(); }
    [[noreturn]] void Fail(int line, std::string reason) const { throw Error(path_, line, std::move(reason)); }

private:
    std::string_view Next(std::string_view expected, bool isTag) {
        if (!cursor_.Next(current_)) {
            const std::string what = isTag ? "\"" + std::string(expected) + "\"" : std::string(expected);
            Fail(cursor_.LineNumber(), "the file ends before " + what);
        }
        return current_;
    }

    LineCursor cursor_;
    const std::string& path_;
    std::string_view current_;
};

void RequireContent(std::string_view text, const std::string& shownPath) {
    if (text.empty()) throw Error(shownPath, 0, "the file is empty");
}

// Reads the item lines up to closingTag into document, each line split once while it is
// at hand: its level is checked and turned into the item's depth, and whether it stands
// as the project writer writes it, and whether its level and parent index already say
// what the tree says, are noted. fieldCount: the fields a line carries; levelAt and
// parentAt: the positions of the level and the parent index among them (parentAt
// kNotCarried when the lines carry none).
void ReadItems(LineScanner& scanner, std::string_view closingTag, std::size_t fieldCount, int levelAt, int parentAt,
               ParsedDocument& document) {
    auto& items = document.items;
    // Room for every line the rest of the text could hold; pages never touched cost no
    // memory.
    const auto room = items.Text().size() / 32 + 16;
    items.Reserve(room);
    document.depths.reserve(room);
    int badLine = 0;
    std::string badText;
    bool asWritten = true;
    bool fresh = parentAt != kNotCarried;
    int currentMain = kRootNode;
    std::string_view line;
    while ((line = scanner.ReadBefore(closingTag)) != closingTag) {
        std::string_view level;
        std::string_view parentIndex;
        std::string_view last;
        const auto count = ForEachField(line, fieldCount, [&](std::size_t i, std::string_view field) {
            if (static_cast<int>(i) == levelAt) level = field;
            if (static_cast<int>(i) == parentAt) parentIndex = field;
            last = field;
        });
        asWritten = asWritten && count == fieldCount && scanner.CurrentEndedInCrLf() &&
                    last.data() + last.size() + kFieldSeparator.size() == line.data() + line.size();
        const int index = items.Count();
        items.AppendLine(line);
        const auto parsed = ParseWholeNumber(level);
        if (!parsed && badLine == 0) {
            badLine = scanner.CurrentLineNumber();
            badText = level;
        }
        const auto depth = EffectiveDepth(static_cast<std::size_t>(index), parsed.value_or(0));
        document.depths.push_back(depth);
        // A level that cannot stand where it is becomes the nearest possible parent's.
        if (parsed && *parsed != depth) {
            items.SetField(index, ItemField::Level, LevelText(depth));
            ++document.report.reattachedItems;
        }
        if (depth == 0) currentMain = index;
        if (fresh) {
            const int parent = depth == 0 ? kRootNode : currentMain;
            fresh = level == LevelText(depth) && parentIndex == DecimalText(parent).View();
        }
    }
    document.levelsAndParentsFresh = fresh;
    if (badLine != 0) scanner.Fail(badLine, "level '" + badText + "' is not a whole number");
    items.SetLinesAsWritten(asWritten);
}

}  // namespace

void WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress,
                      const TextSink& sink, const PublishedItemFields* published) {
    const int n = items.Count();
    progress.SetProgressMaximum(n * 10 + 15);
    std::string out;
    // Room for a part, or for the whole of a small document: a project of a few items
    // does not take a quarter MiB.
    out.reserve(std::min(kTextPartSize, static_cast<std::size_t>(n) * 128) + 4096);
    const auto handOn = [&] {
        sink(out);
        out.clear();
    };
    AppendProjectHead(out, appletData);
    progress.AdvanceProgress(10);
    progress.AdvanceProgress(5);
    const bool linesAsWritten = items.LinesAsWritten();
    const bool checkLevels = published && !published->levelsAndParentsFresh;
    const bool checkLinks = published && !published->replacement.None();
    std::string converted;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        // An item is split into its fields only where one of them is to be written
        // otherwise than stored, other than its level and parent.
        ItemFieldViews fields{};
        bool split = false;
        const DecimalText parent(checkLevels ? published->parents[at] : 0);
        const auto level = checkLevels ? LevelText(published->depths[at]) : std::string_view();
        // The stored Level and ParentIndex, when they are to be rewritten.
        std::optional<ItemFieldViews> relevelled;
        if (checkLevels) {
            const auto stored = items.LevelAndParent(i);
            if (stored[FieldIndex(ItemField::Level)] != level ||
                stored[FieldIndex(ItemField::ParentIndex)] != parent.View())
                relevelled = stored;
        }
        if (checkLinks) {
            const auto link = items.Field(i, ItemField::Link);
            if (published->replacement.Converts(link)) {
                fields = items.Fields(i);
                split = true;
                fields[FieldIndex(ItemField::Link)] = published->replacement.Apply(link, converted);
            }
        }
        if (!split && linesAsWritten && items.IsUnchanged(i)) {
            // The line is what the fields would give; a new level and parent are put in
            // place of the stored ones, found in the line, and the rest copied around them.
            const auto line = items.LineOf(i);
            if (!relevelled) {
                out += line;
            } else {
                const auto offset = [&line](std::string_view field) {
                    return static_cast<std::size_t>(field.data() - line.data());
                };
                const auto storedLevel = (*relevelled)[FieldIndex(ItemField::Level)];
                const auto storedParent = (*relevelled)[FieldIndex(ItemField::ParentIndex)];
                const auto afterLevel = offset(storedLevel) + storedLevel.size();
                out.append(line.substr(0, offset(storedLevel)));
                out += level;
                out.append(line.substr(afterLevel, offset(storedParent) - afterLevel));
                out += parent.View();
                out.append(line.substr(offset(storedParent) + storedParent.size()));
            }
        } else {
            if (!split) fields = items.Fields(i);
            if (relevelled) {
                fields[FieldIndex(ItemField::Level)] = level;
                fields[FieldIndex(ItemField::ParentIndex)] = parent.View();
            }
            for (const auto field : fields) {
                out += field;
                out += kFieldSeparator;
            }
        }
        out += kLineEnd;
        if (out.size() >= kTextPartSize) handOn();
        progress.AdvanceProgress(static_cast<int>(TItemData::kFieldCount));
    }
    AppendLine(out, "</Item_Parameters>");
    handOn();
}

std::string WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress,
                             const PublishedItemFields* published) {
    std::string text;
    text.reserve(std::max(items.Text().size(), static_cast<std::size_t>(items.Count()) * 96) + 512);
    WriteProjectText(appletData, items, progress, [&text](std::string_view part) { text += part; }, published);
    return text;
}

ParsedDocument ParseProjectFile(TextFile file, const std::string& shownPath) {
    const auto windows1252 = file.Windows1252();
    const auto start = file.TextStart();
    ParsedDocument document;
    document.items = ItemStore(std::move(file).TakeBuffer(), kProjectLayout);
    const auto text = document.items.Text().substr(start);
    RequireContent(text, shownPath);
    LineScanner scanner(text, shownPath);

    scanner.SkipToFormatTag("<Product_Name>", kNotAProject);
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
    // A look value the window could not show refuses the file here, before anything is
    // replaced, as a truncated file is refused.
    CheckLookValues(document.appletData, shownPath, scanner.CurrentLineNumber());

    scanner.SkipUntil("<Item_Parameters>");  // starting with the parameter line itself
    // Every line up to the closing tag is an item (missing trailing fields are empty,
    // extra ones are ignored).
    ReadItems(scanner, "</Item_Parameters>", TItemData::kFieldCount, kProjectLayout[FieldIndex(ItemField::Level)],
              kProjectLayout[FieldIndex(ItemField::ParentIndex)], document);
    document.report.windows1252 = windows1252;

    // A file exactly as this program writes it is kept as what saving writes, until the
    // document changes: then an unchanged project is saved by writing its bytes back.
    if (document.items.LinesAsWritten() && document.report.reattachedItems == 0 && scanner.CurrentEndedInCrLf() &&
        scanner.AtEnd()) {
        std::string head;
        AppendProjectHead(head, document.appletData);
        if (text.starts_with(head)) document.savedForm = text;
    }
    return document;
}

std::string WriteMenuStructureText(const ItemStore& items, IProgressDisplay& progress,
                                   const std::vector<std::uint8_t>* depths) {
    progress.SetProgressMaximum(items.Count() * 10 + 15);
    std::string out;
    out.reserve(512 + static_cast<std::size_t>(items.Count()) * 64);
    for (const auto line : {"<Generator_Name>", "Quillamere", "</Generator_Name>",
                            "<Generator_Version>", "1.0", "</Generator_Version>", "<Product_Name>",
                            kExchangeFormatName.data(), "</Product_Name>", "<Product_Version>", "1.0",
                            "</Product_Version>"})
        AppendLine(out, line);
    progress.AdvanceProgress(10);
    progress.AdvanceProgress(5);
    AppendLine(out, "<Structure_Description>");
    for (int i = 0; i < items.Count(); ++i) {
        auto fields = items.Fields(i);
        if (depths) fields[FieldIndex(ItemField::Level)] = LevelText((*depths)[static_cast<std::size_t>(i)]);
        for (const auto field : {ItemField::Level, ItemField::Text, ItemField::Link, ItemField::Target,
                                 ItemField::Reserved5}) {
            out += fields[FieldIndex(field)];
            out += kFieldSeparator;
        }
        out += kLineEnd;
    }
    AppendLine(out, "</Structure_Description>");
    return out;
}

ParsedDocument ParseMenuStructureFile(TextFile file, const std::string& shownPath) {
    const auto windows1252 = file.Windows1252();
    const auto start = file.TextStart();
    // Each of the five carried fields is read even when the line lacks it, so a missing
    // one is empty (not NewItemData's "Item" or "_self"); the others are not carried.
    ParsedDocument document;
    document.appletData = DefaultAppletData();
    document.items = ItemStore(std::move(file).TakeBuffer(), kMenuStructureLayout);
    const auto text = document.items.Text().substr(start);
    RequireContent(text, shownPath);
    LineScanner scanner(text, shownPath);

    scanner.SkipToFormatTag("<Product_Name>", kNotAMenuStructure);
    if (scanner.Read("the format name") != kExchangeFormatName)
        scanner.Fail(scanner.CurrentLineNumber(), std::string(kExchangeRefusal));
    scanner.ReadBefore("<Product_Version>");  // normally "</Product_Name>"; not checked

    scanner.SkipUntil("<Product_Version>");
    scanner.Read("the version");  // not interpreted
    scanner.ReadBefore("<Structure_Description>");  // normally "</Product_Version>"

    scanner.SkipUntil("<Structure_Description>");
    ReadItems(scanner, "</Structure_Description>", 5, kMenuStructureLayout[FieldIndex(ItemField::Level)],
              kMenuStructureLayout[FieldIndex(ItemField::ParentIndex)], document);
    document.report.windows1252 = windows1252;
    return document;
}

DocumentFileKind DetectDocumentFileKind(const TextFile& file) {
    // Each line is judged with the one after it at hand; the last line is not judged.
    LineCursor cursor(file.Text());
    std::string_view line;
    std::string_view next;
    if (!cursor.Next(line)) return DocumentFileKind::Unknown;
    for (; cursor.Next(next); line = next) {
        if (line == "<Generator_Name>" || line == "<Structure_Description>") return DocumentFileKind::MenuStructure;
        if (line == "<Warning_Info>" || line == "<Applet_Parameters>" || line == "<Item_Parameters>")
            return DocumentFileKind::Project;
        if (line == "<Product_Name>")
            return next == kExchangeFormatName ? DocumentFileKind::MenuStructure : DocumentFileKind::Project;
    }
    return DocumentFileKind::Unknown;
}

}  // namespace qm
