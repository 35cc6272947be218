// A reader of .xlsx packages for the tests, written apart from the product's workbook code so
// that a fault there cannot hide itself: it looks a sheet up by name and reads its cells.
#pragma once

#include <pugixml.hpp>
#include <zip.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ReadCell {
    std::string type;   // the "t" attribute: "" for a number, "s", "inlineStr", ...
    std::string value;  // the number as written, or the text
    bool formula = false;
    std::string style;
};

class XlsxReader {
public:
    explicit XlsxReader(const std::string& path)
    {
        int error = 0;
        zip_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    }
    ~XlsxReader()
    {
        if (zip_)
            zip_discard(zip_);
    }
    XlsxReader(const XlsxReader&) = delete;
    XlsxReader& operator=(const XlsxReader&) = delete;

    bool ok() const { return zip_ != nullptr; }

    std::optional<std::string> part(const std::string& name) const
    {
        zip_file_t* f = zip_ ? zip_fopen(zip_, name.c_str(), 0) : nullptr;
        if (!f)
            return std::nullopt;
        std::string s;
        char buffer[4096];
        zip_int64_t n;
        while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
            s.append(buffer, size_t(n));
        zip_fclose(f);
        return s;
    }

    // Cells of the named sheet by reference ("D13").
    std::map<std::string, ReadCell> sheet(const std::string& name) const
    {
        std::map<std::string, ReadCell> cells;
        pugi::xml_document workbook, rels, sheet, strings;
        workbook.load_string(part("xl/workbook.xml").value_or("").c_str());
        rels.load_string(part("xl/_rels/workbook.xml.rels").value_or("").c_str());
        strings.load_string(part("xl/sharedStrings.xml").value_or("").c_str());
        std::vector<std::string> shared;
        for (pugi::xml_node si : strings.child("sst").children("si")) {
            std::string text = si.child("t").text().get();
            for (pugi::xml_node r : si.children("r"))
                text += r.child("t").text().get();
            shared.push_back(text);
        }
        std::string id;
        for (pugi::xml_node s : workbook.child("workbook").child("sheets").children("sheet"))
            if (name == s.attribute("name").value())
                id = s.attribute("r:id").value();
        std::string target;
        for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
            if (id == r.attribute("Id").value())
                target = r.attribute("Target").value();
        if (target.empty())
            return cells;
        sheet.load_string(part("xl/" + target).value_or("").c_str());
        for (pugi::xml_node row : sheet.child("worksheet").child("sheetData").children("row"))
            for (pugi::xml_node c : row.children("c")) {
                ReadCell cell;
                cell.type = c.attribute("t").value();
                cell.style = c.attribute("s").value();
                cell.formula = bool(c.child("f"));
                if (cell.type == "s")
                    cell.value = shared.at(size_t(c.child("v").text().as_int()));
                else if (cell.type == "inlineStr")
                    cell.value = c.child("is").child("t").text().get();
                else
                    cell.value = c.child("v").text().get();
                cells[c.attribute("r").value()] = cell;
            }
        return cells;
    }

private:
    zip_t* zip_ = nullptr;
};
