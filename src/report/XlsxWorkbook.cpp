#include "XlsxWorkbook.h"

#include "chromatogram/FileIO.h"

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

namespace dgaws {

namespace {

// A part larger than this is no template a laboratory keeps; refusing it keeps a hostile
// archive (a small file that inflates to gigabytes) from exhausting memory.
constexpr zip_uint64_t kMaxPartSize = zip_uint64_t(256) << 20;
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// Element names without their namespace prefix: some writers prefix the spreadsheet
// namespace ("x:row"), most do not.
std::string_view localName(const pugi::xml_node& node)
{
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string prefixOf(const pugi::xml_node& node)
{
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

pugi::xml_node childNamed(const pugi::xml_node& parent, std::string_view local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c) == local)
            return c;
    return {};
}

pugi::xml_node rootElement(const pugi::xml_document& doc)
{
    for (pugi::xml_node c = doc.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            return c;
    return {};
}

// "D13" → (13, 4); zeros for anything else.
std::pair<int, int> parseReference(std::string_view ref)
{
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && column < 100000; ++i)
        column = column * 26 + (ref[i] - 'A' + 1);
    int row = 0;
    const auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
    if (ec != std::errc() || end != ref.data() + ref.size() || i == 0)
        return {0, 0};
    return {row, column};
}

std::string folderOf(const std::string& part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target as a part name: absolute targets start at the package root,
// relative ones at the folder of the part that holds the relationship.
std::string resolveTarget(const std::string& sourceFolder, std::string target)
{
    if (!target.empty() && target.front() == '/')
        return target.substr(1);
    std::string folder = sourceFolder;
    while (target.rfind("../", 0) == 0) {
        target.erase(0, 3);
        if (!folder.empty())
            folder.pop_back();
        folder = folderOf(folder);
    }
    return folder + target;
}

std::string relationshipsOf(const std::string& part)
{
    const size_t slash = part.rfind('/');
    if (slash == std::string::npos)
        return "_rels/" + part + ".rels";
    return part.substr(0, slash) + "/_rels/" + part.substr(slash + 1) + ".rels";
}

bool isOfType(const pugi::xml_node& relationship, std::string_view kind)
{
    const std::string_view type = relationship.attribute("Type").value();
    return type.size() > kind.size() && type.substr(type.size() - kind.size()) == kind &&
        type[type.size() - kind.size() - 1] == '/';
}

std::string numberText(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The shown text of a rich or plain string item: every run's text, without the phonetic
// readings.
std::string itemText(const pugi::xml_node& item)
{
    std::string text;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (localName(c) == "t")
            text += c.text().get();
        else if (localName(c) == "r")
            text += childNamed(c, "t").text().get();
    }
    return text;
}

std::string trimmed(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

}  // namespace

std::string cellReference(int row, int column)
{
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

struct XlsxWorkbook::Package {
    std::string name;  // for messages
    std::string bytes;
    std::unique_ptr<zip_t, ZipCloser> archive;
    std::map<std::string, std::unique_ptr<pugi::xml_document>> parts;
    std::set<std::string> edited;
    std::set<std::string> removed;
    std::string workbookPart;
    std::map<std::string, std::string> sheets;  // sheet name → part, in the workbook's order
    std::vector<std::string> sheetOrder;
    std::vector<std::string> sharedStrings;
    bool formulaReplaced = false;

    bool hasPart(const std::string& part) const
    {
        return zip_name_locate(archive.get(), part.c_str(), 0) >= 0;
    }

    std::string readPart(const std::string& part) const
    {
        const zip_int64_t index = zip_name_locate(archive.get(), part.c_str(), 0);
        if (index < 0)
            throw WorkbookError(name + " 缺少部件 " + part);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0 ||
            ((stat.valid & ZIP_STAT_SIZE) && stat.size > kMaxPartSize))
            throw WorkbookError(name + " 的部件 " + part + " 过大或无法读取");
        zip_file_t* file = zip_fopen_index(archive.get(), zip_uint64_t(index), 0);
        if (!file)
            throw WorkbookError(name + " 的部件 " + part + " 无法读取");
        std::string content;
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) {
            content.append(buffer, size_t(n));
            if (content.size() > kMaxPartSize)
                break;
        }
        zip_fclose(file);
        if (n < 0 || content.size() > kMaxPartSize)
            throw WorkbookError(name + " 的部件 " + part + " 已损坏");
        return content;
    }
};

XlsxWorkbook::XlsxWorkbook(std::unique_ptr<Package> package) : package_(std::move(package))
{}
XlsxWorkbook::XlsxWorkbook(XlsxWorkbook&&) noexcept = default;
XlsxWorkbook& XlsxWorkbook::operator=(XlsxWorkbook&&) noexcept = default;
XlsxWorkbook::~XlsxWorkbook() = default;

XlsxWorkbook XlsxWorkbook::open(const std::string& path)
{
    std::string bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const FileError& e) {
        throw WorkbookError(e.what());
    }
    return fromBytes(std::move(bytes), path);
}

XlsxWorkbook XlsxWorkbook::fromBytes(std::string bytes, const std::string& nameForMessages)
{
    auto package = std::make_unique<Package>();
    package->name = nameForMessages;
    package->bytes = std::move(bytes);
    const std::string& b = package->bytes;
    if (b.size() >= 8 && std::memcmp(b.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0)
        throw WorkbookError(nameForMessages +
                            " 是旧的二进制Excel文件(.xls)；本系统读写.xlsx工作簿，"
                            "请在电子表格程序中将它另存为.xlsx后再选择");
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(b.data(), b.size(), 0, &error);
    zip_t* archive =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!archive) {
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        throw WorkbookError(nameForMessages + " 不是Excel工作簿(.xlsx)文件");
    }
    zip_error_fini(&error);
    package->archive.reset(archive);

    XlsxWorkbook workbook(std::move(package));
    Package& p = *workbook.package_;
    if (!p.hasPart("_rels/.rels"))
        throw WorkbookError(nameForMessages + " 不是Excel工作簿(.xlsx)文件");
    for (pugi::xml_node r : rootElement(workbook.part("_rels/.rels")).children())
        if (isOfType(r, "officeDocument"))
            p.workbookPart = resolveTarget("", r.attribute("Target").value());
    if (p.workbookPart.empty() || !p.hasPart(p.workbookPart))
        throw WorkbookError(nameForMessages + " 不是Excel工作簿(.xlsx)文件");

    std::map<std::string, std::string> targets;  // relationship id → part
    std::string sharedStringsPart;
    const std::string rels = relationshipsOf(p.workbookPart);
    if (p.hasPart(rels))
        for (pugi::xml_node r : rootElement(workbook.part(rels)).children()) {
            const std::string target =
                resolveTarget(folderOf(p.workbookPart), r.attribute("Target").value());
            targets[r.attribute("Id").value()] = target;
            if (isOfType(r, "sharedStrings"))
                sharedStringsPart = target;
        }
    const pugi::xml_node sheets = childNamed(rootElement(workbook.part(p.workbookPart)), "sheets");
    for (pugi::xml_node s : sheets.children()) {
        std::string id;
        for (pugi::xml_attribute a : s.attributes()) {
            const std::string_view n = a.name();
            if (n.size() > 3 && n.substr(n.size() - 3) == ":id")
                id = a.value();
        }
        const auto target = targets.find(id);
        if (target != targets.end() && p.hasPart(target->second)) {
            p.sheets[s.attribute("name").value()] = target->second;
            p.sheetOrder.push_back(s.attribute("name").value());
        }
    }
    if (!sharedStringsPart.empty() && p.hasPart(sharedStringsPart))
        for (pugi::xml_node item : rootElement(workbook.part(sharedStringsPart)).children())
            if (localName(item) == "si")
                p.sharedStrings.push_back(itemText(item));
    return workbook;
}

pugi::xml_document& XlsxWorkbook::part(const std::string& name) const
{
    auto& slot = package_->parts[name];
    if (!slot) {
        const std::string content = package_->readPart(name);
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_buffer(content.data(), content.size(), kParseOptions, pugi::encoding_utf8))
            throw WorkbookError(package_->name + " 的部件 " + name + " 不是有效的XML");
        slot = std::move(doc);
    }
    return *slot;
}

bool XlsxWorkbook::hasSheet(const std::string& sheetName) const
{
    return package_->sheets.count(sheetName) != 0;
}

const std::vector<std::string>& XlsxWorkbook::sheetNames() const
{
    return package_->sheetOrder;
}

std::string XlsxWorkbook::sheetPart(const std::string& sheetName) const
{
    const auto it = package_->sheets.find(sheetName);
    if (it == package_->sheets.end())
        throw WorkbookError(package_->name + " 中没有工作表“" + sheetName + "”");
    return it->second;
}

namespace {

// The style a new cell takes in Excel's way: the row's when the row is formatted, else the
// column's.
std::string inheritedStyle(const pugi::xml_node& worksheet, const pugi::xml_node& row, int column)
{
    if (row.attribute("customFormat").as_bool() && row.attribute("s"))
        return row.attribute("s").value();
    for (pugi::xml_node c : childNamed(worksheet, "cols").children())
        if (c.attribute("min").as_int() <= column && column <= c.attribute("max").as_int() &&
            c.attribute("style"))
            return c.attribute("style").value();
    return {};
}

// The child of `parent` named `local` whose position ("r" for rows, the column of "r" for
// cells; implicit positions count on from the previous one) is `position`, created in order
// when missing; the flag says whether it was created.
std::pair<pugi::xml_node, bool> childAt(pugi::xml_node parent, std::string_view local, int position,
                                        const std::string& prefix, int (*positionOf)(const char*),
                                        const std::string& reference)
{
    const std::string name = prefix + std::string(local);
    int implicit = 0;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element || localName(c) != local)
            continue;
        const int at = c.attribute("r") ? positionOf(c.attribute("r").value()) : implicit + 1;
        implicit = at;
        if (at == position)
            return {c, false};
        if (at > position) {
            pugi::xml_node made = parent.insert_child_before(name.c_str(), c);
            made.append_attribute("r") = reference.c_str();
            return {made, true};
        }
    }
    pugi::xml_node made = parent.append_child(name.c_str());
    made.append_attribute("r") = reference.c_str();
    return {made, true};
}

int rowOf(const char* r)
{
    return std::atoi(r);
}
int columnOf(const char* r)
{
    return parseReference(r).second;
}

// A value into a cell whose value, formula and text are gone; its style stays.
void writeValue(pugi::xml_node cell, const std::string& prefix, const CellValue& value)
{
    cell.remove_attribute("t");
    if (const double* number = std::get_if<double>(&value)) {
        cell.append_child((prefix + "v").c_str()).text().set(numberText(*number).c_str());
    } else {
        cell.append_attribute("t") = "inlineStr";
        pugi::xml_node t =
            cell.append_child((prefix + "is").c_str()).append_child((prefix + "t").c_str());
        const std::string& text = std::get<std::string>(value);
        if (!text.empty() &&
            (text.front() == ' ' || text.back() == ' ' || text.find('\n') != std::string::npos))
            t.append_attribute("xml:space") = "preserve";
        t.text().set(text.c_str());
    }
}

}  // namespace

void XlsxWorkbook::setCell(const std::string& sheetName, int row, int column,
                           const CellValue& value)
{
    if (row < 1 || row > 1048576 || column < 1 || column > 16384)
        throw WorkbookError("单元格位置超出工作表范围");
    if (const double* number = std::get_if<double>(&value); number && !std::isfinite(*number))
        throw WorkbookError(cellReference(row, column) + " 的值不是有限的数");
    const std::string partName = sheetPart(sheetName);
    pugi::xml_node worksheet = rootElement(part(partName));
    const std::string prefix = prefixOf(worksheet);
    pugi::xml_node sheetData = childNamed(worksheet, "sheetData");
    if (!sheetData)
        throw WorkbookError(package_->name + " 的工作表“" + sheetName + "”已损坏");

    pugi::xml_node rowNode =
        childAt(sheetData, "row", row, prefix, rowOf, std::to_string(row)).first;
    // The span hint would no longer cover the cells; it is optional.
    rowNode.remove_attribute("spans");
    auto [cell, made] = childAt(rowNode, "c", column, prefix, columnOf, cellReference(row, column));
    if (made) {
        const std::string style = inheritedStyle(worksheet, rowNode, column);
        if (!style.empty())
            cell.append_attribute("s") = style.c_str();
    }
    for (pugi::xml_node c = cell.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (localName(c) == "f")
            package_->formulaReplaced = true;
        if (localName(c) == "f" || localName(c) == "v" || localName(c) == "is")
            cell.remove_child(c);
        c = next;
    }
    writeValue(cell, prefix, value);
    package_->edited.insert(partName);
}

int XlsxWorkbook::fillPlaceholders(const std::map<std::string, CellValue>& values)
{
    int filled = 0;
    for (const std::string& sheetName : package_->sheetOrder) {
        const std::string partName = sheetPart(sheetName);
        pugi::xml_node worksheet = rootElement(part(partName));
        const std::string prefix = prefixOf(worksheet);
        for (pugi::xml_node row : childNamed(worksheet, "sheetData").children())
            for (pugi::xml_node cell : row.children()) {
                const std::string_view type = cell.attribute("t").value();
                std::string text;
                if (type == "s") {
                    const long index = childNamed(cell, "v").text().as_llong(-1);
                    if (index >= 0 && size_t(index) < package_->sharedStrings.size())
                        text = package_->sharedStrings[size_t(index)];
                } else if (type == "inlineStr") {
                    text = itemText(childNamed(cell, "is"));
                } else {
                    continue;
                }
                text = trimmed(text);
                if (text.size() < 3 || text.front() != '{' || text.back() != '}')
                    continue;
                const auto value = values.find(text.substr(1, text.size() - 2));
                if (value == values.end())
                    continue;
                if (const double* n = std::get_if<double>(&value->second); n && !std::isfinite(*n))
                    continue;
                for (pugi::xml_node c = cell.first_child(); c;) {
                    const pugi::xml_node next = c.next_sibling();
                    cell.remove_child(c);
                    c = next;
                }
                writeValue(cell, prefix, value->second);
                package_->edited.insert(partName);
                ++filled;
            }
    }
    return filled;
}

void XlsxWorkbook::requestRecalculation()
{
    pugi::xml_node workbook = rootElement(part(package_->workbookPart));
    pugi::xml_node calc = childNamed(workbook, "calcPr");
    if (!calc) {
        // The schema orders the workbook's children; calcPr comes before these.
        static constexpr std::string_view kAfter[] = {
            "oleSize",        "customWorkbookViews", "pivotCaches",
            "smartTagPr",     "smartTagTypes",       "webPublishing",
            "fileRecoveryPr", "webPublishObjects",   "extLst"};
        pugi::xml_node before;
        for (pugi::xml_node c = workbook.first_child(); c && !before; c = c.next_sibling())
            if (std::find(std::begin(kAfter), std::end(kAfter), localName(c)) != std::end(kAfter))
                before = c;
        const std::string name = prefixOf(workbook) + "calcPr";
        calc = before ? workbook.insert_child_before(name.c_str(), before)
                      : workbook.append_child(name.c_str());
    }
    if (!calc.attribute("fullCalcOnLoad"))
        calc.append_attribute("fullCalcOnLoad");
    calc.attribute("fullCalcOnLoad") = "1";
    package_->edited.insert(package_->workbookPart);
}

namespace {

std::string serialized(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

}  // namespace

// Excel keeps the order in which formulas are calculated in a part of its own; a formula
// replaced by a value would stay listed there and make Excel repair the workbook. Without
// the part Excel rebuilds the order on opening.
void XlsxWorkbook::dropCalculationChain() const
{
    Package& p = *package_;
    const std::string rels = relationshipsOf(p.workbookPart);
    if (!p.hasPart(rels))
        return;
    pugi::xml_node relationships = rootElement(part(rels));
    for (pugi::xml_node r = relationships.first_child(); r;) {
        const pugi::xml_node next = r.next_sibling();
        if (isOfType(r, "calcChain")) {
            p.removed.insert(
                resolveTarget(folderOf(p.workbookPart), r.attribute("Target").value()));
            relationships.remove_child(r);
            p.edited.insert(rels);
        }
        r = next;
    }
    if (p.removed.empty() || !p.hasPart("[Content_Types].xml"))
        return;
    pugi::xml_node types = rootElement(part("[Content_Types].xml"));
    for (pugi::xml_node t = types.first_child(); t;) {
        const pugi::xml_node next = t.next_sibling();
        const std::string_view name = t.attribute("PartName").value();
        if (!name.empty() && p.removed.count(std::string(name.substr(1)))) {
            types.remove_child(t);
            p.edited.insert("[Content_Types].xml");
        }
        t = next;
    }
}

std::string XlsxWorkbook::bytes() const
{
    Package& p = *package_;
    if (p.formulaReplaced)
        dropCalculationChain();
    if (p.edited.empty() && p.removed.empty())
        return p.bytes;

    std::map<std::string, std::string> contents;
    for (const std::string& name : p.edited)
        contents[name] = serialized(part(name));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(p.bytes.data(), p.bytes.size(), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, 0, &error) : nullptr;
    if (!archive) {
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        throw WorkbookError(p.name + " 无法写入");
    }
    zip_error_fini(&error);
    // The source outlives the archive: it holds the written package once the archive closes.
    zip_source_keep(source);
    const auto fail = [&](const std::string& why) {
        zip_discard(archive);
        zip_source_free(source);
        throw WorkbookError(p.name + " 无法写入：" + why);
    };
    for (const auto& [name, content] : contents) {
        zip_source_t* data = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
        const bool ok = data &&
            (index >= 0
                 ? zip_file_replace(archive, zip_uint64_t(index), data, ZIP_FL_ENC_UTF_8) == 0
                 : zip_file_add(archive, name.c_str(), data, ZIP_FL_ENC_UTF_8) >= 0);
        if (!ok) {
            if (data)
                zip_source_free(data);
            fail(name);
        }
    }
    for (const std::string& name : p.removed) {
        const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
        if (index >= 0 && zip_delete(archive, zip_uint64_t(index)) != 0)
            fail(name);
    }
    if (zip_close(archive) != 0) {
        const std::string why = zip_strerror(archive);
        fail(why);
    }

    std::string written;
    if (zip_source_open(source) == 0) {
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_source_read(source, buffer, sizeof buffer)) > 0)
            written.append(buffer, size_t(n));
        zip_source_close(source);
        if (n < 0)
            written.clear();
    }
    zip_source_free(source);
    if (written.empty())
        throw WorkbookError(p.name + " 无法写入");
    return written;
}

void XlsxWorkbook::save(const std::string& path) const
{
    const std::string content = bytes();
    try {
        writeFileAtomically(path, content);
    } catch (const FileError& e) {
        throw WorkbookError(e.what());
    }
}

}  // namespace dgaws
