#include "engine/XmlReader.h"

#include "engine/TextCodec.h"
#include "engine/TextToUtf8.h"

#include <cstdlib>
#include <cstring>

namespace {

std::string LocalName(const std::string& name)
{
    size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

class XmlParser {
public:
    explicit XmlParser(const std::string& bytes) : m_bytes(bytes) {}

    bool Document(XmlElement& root, std::string& error)
    {
        std::u32string ignored;
        if (!Utf8ToCharacters(m_bytes, ignored)) {
            error = "the file is not in UTF-8";
            return false;
        }
        if (m_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            m_at = 3;
        }
        bool good = SkipMisc() && At("<") && Element(root) && SkipMisc() && m_at == m_bytes.size();
        if (!good) {
            error = "line " + std::to_string(m_line) + ": " +
                    (m_error.empty() ? std::string("not well-formed XML") : m_error);
        }
        return good;
    }

private:
    bool At(const char* text) const { return m_bytes.compare(m_at, std::strlen(text), text) == 0; }

    void Advance(size_t count)
    {
        for (size_t index = 0; index < count && m_at < m_bytes.size(); ++index) {
            m_line += m_bytes[m_at++] == '\n' ? 1 : 0;
        }
    }

    bool Fail(const std::string& why)
    {
        m_error = why;
        return false;
    }

    bool SkipPast(const char* end)
    {
        size_t found = m_bytes.find(end, m_at);
        if (found == std::string::npos) {
            return Fail(std::string("no closing ") + end);
        }
        Advance(found + std::strlen(end) - m_at);
        return true;
    }

    void SkipBlanks()
    {
        while (m_at < m_bytes.size() && std::strchr(" \t\r\n", m_bytes[m_at]) != nullptr &&
               m_bytes[m_at] != '\0') {
            Advance(1);
        }
    }

    // Blanks, comments, processing instructions and a document type outside the root.
    bool SkipMisc()
    {
        for (;;) {
            SkipBlanks();
            if (At("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (At("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else if (At("<!DOCTYPE")) {
                if (m_bytes.find('[', m_at) < m_bytes.find('>', m_at)) {
                    return Fail("a document type with declarations is not read");
                }
                if (!SkipPast(">")) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    std::string Name()
    {
        size_t start = m_at;
        while (m_at < m_bytes.size() && std::strchr(" \t\r\n/>=", m_bytes[m_at]) == nullptr) {
            Advance(1);
        }
        return m_bytes.substr(start, m_at - start);
    }

    // Text up to `end` (a '<', or the closing quote of an attribute), entities replaced.
    bool Text(char end, std::string& text)
    {
        while (m_at < m_bytes.size() && m_bytes[m_at] != end) {
            if (m_bytes[m_at] == '&') {
                if (!Entity(text)) {
                    return false;
                }
            } else if (m_bytes[m_at] == '<') {
                return Fail("a < inside an attribute");
            } else if (m_bytes[m_at] == '\r') {
                // XML reads a line break of CR LF or a lone CR as one line feed.
                text += '\n';
                Advance(At("\r\n") ? 2 : 1);
            } else {
                text += m_bytes[m_at];
                Advance(1);
            }
        }
        return true;
    }

    bool Entity(std::string& text)
    {
        size_t semicolon = m_bytes.find(';', m_at);
        if (semicolon == std::string::npos || semicolon - m_at > 12) {
            return Fail("an & that begins no entity");
        }
        std::string name = m_bytes.substr(m_at + 1, semicolon - m_at - 1);
        static const char* const kNamed[][2] = {
            {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
        bool known = false;
        for (const auto& named : kNamed) {
            if (name == named[0]) {
                text += named[1];
                known = true;
            }
        }
        if (!known && name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x';
            std::string digits = name.substr(hex ? 2 : 1);
            const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of(allowed) != std::string::npos) {
                return Fail("a bad character reference &" + name + ";");
            }
            unsigned long code = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
            if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                return Fail("a character reference to no character &" + name + ";");
            }
            AppendUtf8(static_cast<uint32_t>(code), text);
            known = true;
        }
        if (!known) {
            return Fail("an unknown entity &" + name + ";");
        }
        Advance(semicolon + 1 - m_at);
        return true;
    }

    bool Attributes(XmlElement& element, bool& empty)
    {
        for (;;) {
            SkipBlanks();
            if (At("/>")) {
                Advance(2);
                empty = true;
                return true;
            }
            if (At(">")) {
                Advance(1);
                empty = false;
                return true;
            }
            std::string name = Name();
            SkipBlanks();
            if (name.empty() || !At("=")) {
                return Fail("an attribute without a value");
            }
            Advance(1);
            SkipBlanks();
            if (!At("\"") && !At("'")) {
                return Fail("an attribute value without quotes");
            }
            char quote = m_bytes[m_at];
            Advance(1);
            std::string value;
            if (!Text(quote, value) || m_at >= m_bytes.size()) {
                return m_error.empty() ? Fail("an attribute value that does not end") : false;
            }
            Advance(1);
            element.attributes.emplace_back(LocalName(name), value);
        }
    }

    bool Element(XmlElement& element)
    {
        if (++m_depth > 64) {
            return Fail("elements nested too deep");
        }
        element.line = m_line;
        Advance(1);
        std::string qualified = Name();
        element.name = LocalName(qualified);
        bool empty = false;
        if (element.name.empty() || !Attributes(element, empty)) {
            return m_error.empty() ? Fail("a bad start tag") : false;
        }
        if (!empty && !Content(element, qualified)) {
            return false;
        }
        --m_depth;
        return true;
    }

    bool Content(XmlElement& element, const std::string& qualified)
    {
        for (;;) {
            if (m_at >= m_bytes.size()) {
                return Fail("<" + qualified + "> does not end");
            }
            if (At("</")) {
                Advance(2);
                if (Name() != qualified) {
                    return Fail("</...> does not close <" + qualified + ">");
                }
                SkipBlanks();
                if (!At(">")) {
                    return Fail("a bad end tag");
                }
                Advance(1);
                return true;
            }
            bool good = true;
            if (At("<!--")) {
                good = SkipPast("-->");
            } else if (At("<![CDATA[")) {
                Advance(9);
                size_t end = m_bytes.find("]]>", m_at);
                if (end == std::string::npos) {
                    return Fail("CDATA that does not end");
                }
                element.text += m_bytes.substr(m_at, end - m_at);
                Advance(end + 3 - m_at);
            } else if (At("<?")) {
                good = SkipPast("?>");
            } else if (At("<")) {
                element.children.emplace_back();
                good = Element(element.children.back());
            } else {
                good = Text('<', element.text);
            }
            if (!good) {
                return false;
            }
        }
    }

    const std::string& m_bytes;
    size_t m_at = 0;
    int m_line = 1;
    int m_depth = 0;
    std::string m_error;
};

}  // namespace

std::string XmlElement::Attribute(const std::string& attributeName) const
{
    for (const auto& attribute : attributes) {
        if (attribute.first == attributeName) {
            return attribute.second;
        }
    }
    return std::string();
}

bool ReadXml(const std::string& bytes, XmlElement& root, std::string& error)
{
    XmlParser parser(bytes);
    return parser.Document(root, error);
}
