#include "engine/XliffFile.h"

#include "engine/TextCodec.h"
#include "engine/XmlReader.h"

namespace {

std::string XmlEscape(const std::string& text)
{
    std::string out;
    for (char byte : text) {
        switch (byte) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";  // a raw CR would be read back as a line feed
            break;
        default:
            out += byte;
            break;
        }
    }
    return out;
}

std::string ShownName(const std::string& name)
{
    std::string shown;
    for (const DecodedUnit& unit : DecodeBytes(name, SourceEncoding::Utf8)) {
        bool shownAsIs = unit.character >= 0x20 && unit.character != 0x7F;
        shown += shownAsIs ? name.substr(unit.offset, unit.length) : std::string("\xEF\xBF\xBD");
    }
    return shown;
}

std::string Context(const char* type, const std::string& text)
{
    return std::string("          <context context-type=\"") + type + "\">" + XmlEscape(text) +
           "</context>\n";
}

// The units of a parsed document.
class XliffUnits {
public:
    XliffUnits(std::vector<TranslationUnit>& units) : m_units(units) {}

    bool Read(const XmlElement& root, std::string& error)
    {
        if (root.name != "xliff") {
            error = "the document is not XLIFF";
            return false;
        }
        return Walk(root, error);
    }

private:
    bool Walk(const XmlElement& element, std::string& error)
    {
        for (const XmlElement& child : element.children) {
            bool good = child.name == "trans-unit" ? ReadUnit(child, error) : Walk(child, error);
            if (!good) {
                return false;
            }
        }
        return true;
    }

    bool ReadUnit(const XmlElement& element, std::string& error)
    {
        TranslationUnit unit;
        unit.written = element.Attribute("restype") == kWrittenResourceType;
        bool hasSource = false;
        for (const XmlElement& child : element.children) {
            if (child.name == "source") {
                hasSource = true;
                unit.source = child.text;
            } else if (child.name == "target") {
                unit.translation = child.text;
            } else if (child.name == "context-group") {
                for (const XmlElement& context : child.children) {
                    if (context.name != "context" ||
                        context.Attribute("context-type") != "x-tolvek-place") {
                        continue;
                    }
                    TranslationPlace place;
                    if (!ParsePlace(context.text, place)) {
                        error = "line " + std::to_string(context.line) +
                                ": a tolvek context that names no place";
                        return false;
                    }
                    unit.places.push_back(place);
                }
            }
            if ((child.name == "source" || child.name == "target") && !child.children.empty()) {
                error = "line " + std::to_string(child.line) +
                        ": markup inside a text, which a literal cannot hold";
                return false;
            }
        }
        if (!hasSource) {
            error = "line " + std::to_string(element.line) + ": a trans-unit without a source";
            return false;
        }
        if (!unit.places.empty()) {
            m_units.push_back(unit);
        }
        return true;
    }

    std::vector<TranslationUnit>& m_units;
};

}  // namespace

std::string WriteXliffFile(const std::vector<TranslationUnit>& units, const std::string& original,
                           const std::string& generator)
{
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n"
        "  <file original=\"" + XmlEscape(ShownName(original)) +
        "\" source-language=\"ja\" datatype=\"cpp\">\n"
        "    <header>\n"
        "      <tool tool-id=\"tolvek\" tool-name=\"" + XmlEscape(generator) + "\"/>\n"
        "    </header>\n"
        "    <body>\n";
    for (const TranslationUnit& unit : units) {
        out += "      <trans-unit id=\"" + UnitId(unit) + "\"";
        if (unit.written) {
            out += std::string(" restype=\"") + kWrittenResourceType + "\"";
        }
        if (unit.cFormat) {
            out += " extype=\"c-format\"";
        }
        out += " xml:space=\"preserve\">\n";
        out += "        <source>" + XmlEscape(unit.source) + "</source>\n";
        if (!unit.translation.empty()) {
            out += "        <target>" + XmlEscape(unit.translation) + "</target>\n";
        }
        for (const TranslationPlace& place : unit.places) {
            out += "        <context-group name=\"" + XmlEscape(ShownName(place.file)) + ":" +
                   std::to_string(place.line) + "\" purpose=\"location\">\n";
            out += Context("sourcefile", ShownName(place.file));
            out += Context("linenumber", std::to_string(place.line));
            out += Context("x-tolvek-place", DescribePlace(place));
            out += "        </context-group>\n";
        }
        out += "      </trans-unit>\n";
    }
    out += "    </body>\n  </file>\n</xliff>\n";
    return out;
}

bool ReadXliffFile(const std::string& bytes, std::vector<TranslationUnit>& units,
                   std::string& error)
{
    units.clear();
    XmlElement root;
    if (!ReadXml(bytes, root, error)) {
        return false;
    }
    XliffUnits reader(units);
    return reader.Read(root, error);
}
