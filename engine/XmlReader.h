#pragma once

#include <string>
#include <utility>
#include <vector>

// A small reader of XML documents in UTF-8, enough for translation files: elements, attributes,
// text with the predefined and numeric entities, CDATA, comments and processing instructions. No
// DTD is read, so no entity of one is ever expanded.
struct XmlElement {
    std::string name;  // without its namespace prefix
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // the text directly inside, all of its pieces
    std::vector<XmlElement> children;
    int line = 0;

    std::string Attribute(const std::string& attributeName) const;
};

// Reads the document's root element. False, with the reason and its line in `error`, for a
// document that is not well-formed as far as this reader sees.
bool ReadXml(const std::string& bytes, XmlElement& root, std::string& error);
