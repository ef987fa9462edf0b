#include "bench/SourceGenerator.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Shift_JIS phrases: ファイルを開けません, 設定を保存しました, エラーが発生しました, 表示,
// ソフトウェア, 初期化に失敗, ﾃｽﾄ (half-width), データを読み込み中です, 終了します.
const char* const kJapanese[] = {
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1",
    "\x90\xDD\x92\xE8\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x95\x5C\x8E\xA6",
    "\x83\x5C\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41",
    "\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8\x94\x73",
    "\xC3\xBD\xC4",
    "\x83\x66\x81\x5B\x83\x5E\x82\xF0\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x92\x86\x82\xC5\x82\xB7",
    "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7",
};
const char* const kWords[] = {"buffer", "index", "count", "window", "handle", "result",
                              "status", "length", "offset", "record", "config", "target"};
const char* const kMessages[] = {"Cannot open %s", "Settings saved", "Out of memory",
                                 "Invalid parameter: %d", "Done.\\n", "C:\\\\Program Files\\\\App",
                                 "Press \\\"OK\\\" to continue", "%s(%d): %s\\n"};

class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<uint32_t>(m_state >> 16);
    }
    uint32_t Below(uint32_t limit) { return Next() % limit; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

private:
    uint64_t m_state;
};

// About one line in twelve holds a literal or a character constant.
void AppendLine(std::string& text, Random& random)
{
    switch (random.Below(36)) {
    case 0:
    case 7:
        text += "    // " + std::string(random.Pick(kJapanese)) + " " + random.Pick(kWords);
        break;
    case 1:
    case 8:
        text += "    /* Updates the " + std::string(random.Pick(kWords)) + " of the " +
                random.Pick(kWords) + " before the next pass. */";
        break;
    case 2:
        text += "    printf(\"" + std::string(random.Pick(kMessages)) + "\", " + random.Pick(kWords) +
                ");";
        break;
    case 3:
        text += "    ShowMessage(hWnd, \"" + std::string(random.Pick(kJapanese)) + "\", \"" +
                random.Pick(kJapanese) + "\");";
        break;
    case 4:
        text += "    if (c == '\\\"' || c == '\\\\') { ++" + std::string(random.Pick(kWords)) + "; }";
        break;
    case 5:
    case 9:
    case 10:
        text += "";
        break;
    default:
        text += "    int " + std::string(random.Pick(kWords)) + "_" +
                std::to_string(random.Below(1000)) + " = Compute(" + random.Pick(kWords) + ", " +
                std::to_string(random.Below(100)) + ") + " + random.Pick(kWords) + ";";
        break;
    }
}

// An initialiser table on one line: {"key", "value"} pairs until the line holds `bytes` bytes.
std::string LongLine(Random& random, size_t bytes)
{
    std::string line = "static const Entry kTable[] = {";
    while (line.size() < bytes) {
        line += "{\"" + std::string(random.Pick(kWords)) + "\", \"" + random.Pick(kJapanese) +
                "\"}, ";
    }
    return line + "};";
}

bool WriteFile(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

GeneratedSet GenerateSourceFolder(const std::string& folder, int files)
{
    static const char* const kExtensions[] = {"c", "cpp", "h", "cpp", "c", "txt"};
    Random random(0x5EED);
    GeneratedSet set;
    for (int index = 0; set.files < files; ++index) {
        const char* extension = random.Pick(kExtensions);
        bool crlf = random.Below(5) == 0;
        std::string text = "#include \"common.h\"\n\nvoid Function" + std::to_string(index) + "()\n{\n";
        int lines = 150 + static_cast<int>(random.Below(300));
        for (int line = 0; line < lines; ++line) {
            AppendLine(text, random);
            text += '\n';
        }
        if (index % 700 == 3) {
            text += LongLine(random, 150 * 1024) + "\n";
            ++set.longLines;
        }
        text += "}\n";
        if (crlf) {
            std::string converted;
            for (char byte : text) {
                if (byte == '\n') {
                    converted += '\r';
                }
                converted += byte;
            }
            text.swap(converted);
        }
        if (!WriteFile(folder + "/file" + std::to_string(index) + "." + extension, text)) {
            set.written = false;
            return set;
        }
        if (std::string(extension) != "txt") {
            ++set.files;
            set.bytes += static_cast<double>(text.size());
        }
    }
    return set;
}

GeneratedSet GenerateSourceTree(const std::string& folder, int files)
{
    const int kFilesPerFolder = 20;
    Random random(0x7EE);
    GeneratedSet set;
    std::string leaf;
    for (int index = 0; index < files; ++index) {
        if (index % kFilesPerFolder == 0) {
            int number = index / kFilesPerFolder;
            leaf = folder + "/d" + std::to_string(number / 100) + "/d" +
                   std::to_string(number / 10 % 10) + "/d" + std::to_string(number % 10);
            std::error_code error;
            std::filesystem::create_directories(leaf, error);
        }
        std::string name = "small" + std::to_string(index) + (index % 2 == 0 ? ".cpp" : ".c");
        std::string text = "#include \"common.h\"\n\nvoid Small" + std::to_string(index) +
                           "()\n{\n";
        for (int line = 0; line < 12; ++line) {
            AppendLine(text, random);
            text += '\n';
        }
        text += "}\n";
        if (WriteFile(leaf + "/" + name, text)) {
            ++set.files;
            set.bytes += static_cast<double>(text.size());
        }
    }
    return set;
}

double GenerateLongLineFile(const std::string& path, int lines, int lineBytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    Random random(0xB16);
    double total = 0;
    for (int line = 0; line < lines; ++line) {
        std::string text = LongLine(random, static_cast<size_t>(lineBytes)) + "\n";
        std::fwrite(text.data(), 1, text.size(), file);
        total += static_cast<double>(text.size());
    }
    std::fclose(file);
    return total;
}

namespace {

// Writes `total` bytes made of `piece` repeated, in blocks.
void WriteRepeated(FILE* file, const std::string& piece, size_t total)
{
    std::string block;
    while (block.size() + piece.size() <= (1u << 20)) {
        block += piece;
    }
    size_t written = 0;
    while (written + block.size() <= total) {
        std::fwrite(block.data(), 1, block.size(), file);
        written += block.size();
    }
    for (; written + piece.size() <= total; written += piece.size()) {
        std::fwrite(piece.data(), 1, piece.size(), file);
    }
}

}  // namespace

double GenerateOneLongLiteral(const std::string& path, size_t bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fputs("s = \"", file);
    WriteRepeated(file, "literal ", bytes);
    std::fputs("\";\n", file);
    std::fclose(file);
    return static_cast<double>(bytes) + 7;
}

double GenerateManyLiteralsInOneLine(const std::string& path, size_t count)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    WriteRepeated(file, "\"ab\" ", count * 5);
    std::fputs("\n", file);
    std::fclose(file);
    return static_cast<double>(count * 5 + 1);
}
