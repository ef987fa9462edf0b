#include "console/ConsoleOptions.h"

#include "engine/Syntax.h"
#include "engine/TargetList.h"
#include "platform/CodePage.h"

#include <cstring>
#include <vector>

// What differs in the help between the systems: where the settings are, what opens a log, and
// what stops a run.
#ifdef _WIN32
#define TOLVEK_OPENER "the shell's \"open\""
#define TOLVEK_SETTINGS_PLACE "Tolvek.ini beside tolvek.exe, shared with it.\n"
#define TOLVEK_STOP_STATUS "130 when stopped by Ctrl+C (131 by Ctrl+Break)"
#else
#define TOLVEK_OPENER "xdg-open"
#define TOLVEK_SETTINGS_PLACE "$XDG_CONFIG_HOME/tolvek/Tolvek.ini (~/.config/tolvek/Tolvek.ini).\n"
#define TOLVEK_STOP_STATUS "130 or 143 when\nstopped by SIGINT or SIGTERM"
#endif

const char kConsoleUsage[] =
    "usage: tolvek [OPTIONS] PATH...\n"
    "       tolvek --apply TRANSLATIONS [--dry-run] PATH\n"
    "Collects the string literals of the C and C++ sources in each folder or file PATH into\n"
    "Tolvek.log beside them.\n"
    "\n"
    "What is read:\n"
    "  --condition N     0: every text, 1: texts without double-byte characters,\n"
    "                    2: texts with a double-byte character\n"
    "  --syntax S        pairs: the texts between pairs of the delimiter, line by line (the\n"
    "                    default); cpp: the string literals as a C/C++ compiler reads them,\n"
    "                    without comments and #include names (Syntax=1 in Tolvek.ini)\n"
    "  --delimiter C     the one-byte character that encloses the texts (default \"); not\n"
    "                    with --syntax cpp\n"
    "  --ext LIST        the target extensions, such as c,cpp,h\n"
    "  --codepage CP     how sources that are neither UTF-8 nor UTF-16 are read: 932\n"
    "                    (Shift_JIS, the default) or single (no double-byte characters)\n"
    "  -r, --recursive   analyse the subfolders too, depth first (SubFolder=1 in Tolvek.ini\n"
    "                    does so for every run)\n"
    "  --follow          read the files and enter the folders that symbolic links point to\n"
    "  --files-from FILE read the files listed in FILE, one a line (- for standard input);\n"
    "                    listed files that are not targets are passed by\n"
    "  -0, --null        the list's names end with a NUL byte (git ls-files -z, find -print0)\n"
    "  --threads N       scan on N threads (default: one per processor)\n"
    "\n"
    "Where the records go:\n"
    "  --output FILE     write them to FILE instead of Tolvek.log, replacing it whole when\n"
    "                    the run ends (a FIFO or device is written as a stream); - for\n"
    "                    standard output (then no log is written)\n"
    "  --append          append to the --output FILE instead, if it holds the same format\n"
    "  --format F        log (name(line): \"text\", the default), jsonl (a JSON object a\n"
    "                    line) or csv (RFC 4180 with a header, for spreadsheets); jsonl and csv\n"
    "                    are UTF-8; po (gettext) and xliff (XLIFF 1.2) write one unit per\n"
    "                    distinct text, for translators, whole to --output\n"
    "  --sort            records in the byte order of their file names, then by line\n"
    "  --baseline FILE   leave out the records of an earlier jsonl output: a text known in a\n"
    "                    file is not written, nor counted, unless it occurs more often now\n"
    "  --open            open the log with the desktop's handler (" TOLVEK_OPENER ")\n"
    "  --fail-if-found   exit with status 3 when any record was written\n"
    "\n"
    "Translations (a PO, XLIFF or CSV file with a translation column) back into PATH:\n"
    "  --apply FILE      each file is rewritten whole, only when every change in it applies\n"
    "  --dry-run         write nothing: print a unified diff of what would change\n"
    "\n"
    "What is shown on standard error (failures always):\n"
    "  --verbose         a line for each file read\n"
    "  --quiet           nothing but failures (also no progress line on a terminal)\n"
    "  --no-progress     no progress line on a terminal (nor with TERM=dumb or NO_COLOR)\n"
    "\n"
    "  -h, --help        show this help\n"
    "  -V, --version     show the version\n"
    "\n"
    "With several PATHs and --output, each record names its file by the PATH given joined\n"
    "with its name inside it (src/a.c(3): ...). Options apply to this run only; the saved\n"
    "settings are in " TOLVEK_SETTINGS_PLACE
    "\n"
    "Exit status: 0 when everything named was analysed and every record written; 1 when\n"
    "something could not be (each failure is told on standard error); 2 for a usage mistake;\n"
    "3 with --fail-if-found when a record was written and nothing failed; " TOLVEK_STOP_STATUS "\n"
    "(the log then holds only whole records).\n";

namespace {

#ifdef _WIN32
const bool kOutputLinesEndWithLineFeed = false;
#else
const bool kOutputLinesEndWithLineFeed = true;
#endif

// "--name value" or "--name=value": true when `argument` is the option, with its value.
bool TakeValue(const char* name, int argc, char** argv, int& index, std::string& value,
               bool& missing)
{
    const char* argument = argv[index];
    size_t nameLength = std::strlen(name);
    if (std::strncmp(argument, name, nameLength) != 0) {
        return false;
    }
    if (argument[nameLength] == '=') {
        value = argument + nameLength + 1;
        return true;
    }
    if (argument[nameLength] != '\0') {
        return false;
    }
    missing = index + 1 >= argc;
    if (!missing) {
        value = argv[++index];
    }
    return true;
}

bool ParseCondition(const std::string& value, ConsoleOptions& options)
{
    if (value.size() != 1 || value[0] < '0' || value[0] > '2') {
        return false;
    }
    options.hasCondition = true;
    options.condition = value[0] - '0';
    return true;
}

bool ParseTargetList(const std::string& value, ConsoleOptions& options)
{
    if (value.find('|') != std::string::npos || value.find_first_not_of(",.") == std::string::npos) {
        return false;
    }
    std::vector<CString> extensions;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        CString extension = NormalizeExtension(item.c_str());
        if (!extension.IsEmpty()) {
            extensions.push_back(extension);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    options.hasTargetList = true;
    options.targetList = JoinTargetList(extensions).GetString();
    return true;
}

bool ParseCodePage(const std::string& value, ConsoleOptions& options)
{
    if (value == "932") {
        options.codePage = kCodePageShiftJis;
    } else if (value == "single") {
        options.codePage = kCodePageSingleByte;
    } else {
        return false;
    }
    return true;
}

bool ParseFormat(const std::string& value, ConsoleOptions& options)
{
    options.translationFormat = TranslationFormat::None;
    if (value == "log") {
        options.format = RecordFormatKind::Log;
    } else if (value == "jsonl") {
        options.format = RecordFormatKind::JsonLines;
    } else if (value == "csv") {
        options.format = RecordFormatKind::Csv;
    } else if (value == "po") {
        options.translationFormat = TranslationFormat::Po;
    } else if (value == "xliff") {
        options.translationFormat = TranslationFormat::Xliff;
    } else {
        return false;
    }
    return true;
}

// One option with a value; false with `error` set when it is not valid.
bool ParseValueOption(int argc, char** argv, int& index, ConsoleOptions& options,
                      std::string& error, bool& matched)
{
    std::string value;
    bool missing = false;
    matched = true;
    if (TakeValue("--condition", argc, argv, index, value, missing)) {
        if (missing || !ParseCondition(value, options)) {
            error = "--condition takes 0, 1 or 2";
            return false;
        }
    } else if (TakeValue("--delimiter", argc, argv, index, value, missing)) {
        // A line feed cannot enclose anything: lines end there.
        if (missing || value.size() != 1 || static_cast<unsigned char>(value[0]) >= 0x80 ||
            value[0] == '\n') {
            error = "--delimiter takes one single-byte character other than a line feed";
            return false;
        }
        options.hasDelimiter = true;
        options.delimiter = value;
    } else if (TakeValue("--syntax", argc, argv, index, value, missing)) {
        if (missing || (value != "pairs" && value != "cpp")) {
            error = "--syntax takes pairs or cpp";
            return false;
        }
        options.hasSyntax = true;
        options.syntax = value == "cpp" ? SYNTAX_CPP : SYNTAX_PAIRS;
    } else if (TakeValue("--ext", argc, argv, index, value, missing)) {
        if (missing || !ParseTargetList(value, options)) {
            error = "--ext takes one or more extensions separated by commas, such as c,cpp,h";
            return false;
        }
    } else if (TakeValue("--threads", argc, argv, index, value, missing)) {
        if (missing || value.empty() || value.size() > 3 ||
            value.find_first_not_of("0123456789") != std::string::npos || std::stoi(value) < 1) {
            error = "--threads takes a number of threads, 1 or more";
            return false;
        }
        options.threads = std::stoi(value);
    } else if (TakeValue("--output", argc, argv, index, value, missing)) {
        if (missing || value.empty()) {
            error = "--output takes a file, or - for standard output";
            return false;
        }
        options.output = value;
    } else if (TakeValue("--format", argc, argv, index, value, missing)) {
        if (missing || !ParseFormat(value, options)) {
            error = "--format takes log, jsonl, csv, po or xliff";
            return false;
        }
    } else if (TakeValue("--files-from", argc, argv, index, value, missing)) {
        if (missing || value.empty()) {
            error = "--files-from takes a file that lists the files, or - for standard input";
            return false;
        }
        options.filesFrom = value;
    } else if (TakeValue("--baseline", argc, argv, index, value, missing)) {
        if (missing || value.empty()) {
            error = "--baseline takes a file of records in the jsonl format";
            return false;
        }
        options.baseline = value;
    } else if (TakeValue("--apply", argc, argv, index, value, missing)) {
        if (missing || value.empty()) {
            error = "--apply takes a PO, XLIFF or CSV file of translations";
            return false;
        }
        options.apply = value;
    } else if (TakeValue("--codepage", argc, argv, index, value, missing)) {
        if (missing || !ParseCodePage(value, options)) {
            error = "--codepage takes 932 or single";
            return false;
        }
    } else {
        matched = false;
    }
    return true;
}

// An option without a value: its names and the flag it sets.
struct FlagOption {
    const char* name;
    const char* shortName;  // or null
    bool ConsoleOptions::*flag;
};

const FlagOption kFlagOptions[] = {
    {"--open", nullptr, &ConsoleOptions::open},
    {"--dry-run", nullptr, &ConsoleOptions::dryRun},
    {"--follow", nullptr, &ConsoleOptions::followLinks},
    {"--fail-if-found", nullptr, &ConsoleOptions::failIfFound},
    {"--verbose", nullptr, &ConsoleOptions::verbose},
    {"--quiet", nullptr, &ConsoleOptions::quiet},
    {"--no-progress", nullptr, &ConsoleOptions::noProgress},
    {"--recursive", "-r", &ConsoleOptions::subFolders},
    {"--append", nullptr, &ConsoleOptions::append},
    {"--sort", nullptr, &ConsoleOptions::sort},
    {"--null", "-0", &ConsoleOptions::nullSeparated},
    {"--help", "-h", &ConsoleOptions::help},
    {"--version", "-V", &ConsoleOptions::version},
};

bool ParseFlagOption(const std::string& argument, ConsoleOptions& options)
{
    for (const FlagOption& option : kFlagOptions) {
        if (argument == option.name || (option.shortName != nullptr && argument == option.shortName)) {
            options.*option.flag = true;
            return true;
        }
    }
    return false;
}

// What cannot go together, once every argument is read.
bool CheckCombination(const ConsoleOptions& options, std::string& error)
{
    if (options.paths.empty() && options.filesFrom.empty()) {
        error = "a PATH is needed (or --files-from FILE)";
    } else if (options.hasDelimiter && options.hasSyntax && options.syntax == SYNTAX_CPP) {
        error = "--delimiter does not go with --syntax cpp, which reads the quotes of C/C++";
    } else if (options.verbose && options.quiet) {
        error = "--verbose and --quiet do not go together";
    } else if (options.open && options.output == "-") {
        error = "--open has no log to open when the records go to standard output";
    } else if (options.append && (options.output.empty() || options.output == "-")) {
        error = "--append needs --output FILE";
    } else if (options.nullSeparated && options.filesFrom.empty()) {
        error = "-0 separates the names of --files-from FILE";
    } else {
        return true;
    }
    return false;
}

// --apply takes no option but --dry-run (and --codepage, for files whose encoding a CSV does not
// say); --format po|xliff writes one whole file, so it needs --output and cannot append.
bool CheckTranslationOptions(int argc, char** argv, const ConsoleOptions& options,
                             std::string& error)
{
    bool translations = !options.apply.empty() || options.translationFormat != TranslationFormat::None;
    if (translations && (options.paths.size() != 1 || !options.filesFrom.empty())) {
        error = "--apply and --format po or xliff take one PATH";
        return false;
    }
    if (options.apply.empty()) {
        if (options.dryRun) {
            error = "--dry-run goes with --apply";
            return false;
        }
        if (options.translationFormat != TranslationFormat::None &&
            (options.output.empty() || options.open || options.failIfFound)) {
            error = "--format po and xliff need --output FILE (or -), and take no --open or "
                    "--fail-if-found";
            return false;
        }
        return true;
    }
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        if (argument == "--") {
            break;
        }
        bool allowed = argument.compare(0, 7, "--apply") == 0 || argument == "--dry-run" ||
                       argument.compare(0, 10, "--codepage") == 0 || argument[0] != '-' ||
                       argument == "-";
        if (!allowed) {
            error = "--apply takes no other option than --dry-run";
            return false;
        }
        if (argument == "--apply" || argument == "--codepage") {
            ++index;
        }
    }
    return true;
}

}  // namespace

bool ParseConsoleOptions(int argc, char** argv, ConsoleOptions& options, std::string& error)
{
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            options.paths.push_back(argument);
            continue;
        }
        bool matched = false;
        if (!ParseValueOption(argc, argv, index, options, error, matched)) {
            return false;
        }
        if (matched || ParseFlagOption(argument, options)) {
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else {
            error = "unknown option " + argument;
            return false;
        }
    }
    if (options.help || options.version) {
        return true;
    }
    if (!CheckTranslationOptions(argc, argv, options, error)) {
        return false;
    }
    return CheckCombination(options, error);
}

void ApplyConsoleOptions(const ConsoleOptions& options, AnalysisOptions& analysis)
{
    if (options.hasCondition) {
        analysis.condition = options.condition;
    }
    if (options.hasSyntax) {
        analysis.syntax = options.syntax;
    }
    if (options.hasDelimiter) {
        analysis.delimiter = options.delimiter.c_str();
    }
    if (options.hasTargetList) {
        analysis.targetList = options.targetList.c_str();
    }
    analysis.followLinks = options.followLinks;
    analysis.threads = options.threads;
    analysis.format = options.format;
    analysis.toStandardOutput = options.output == "-";
    // Tools that read lines on Linux (grep '"$') take LF; the folder's own log keeps CR LF.
    analysis.lineFeedOnly = kOutputLinesEndWithLineFeed && !options.output.empty();
    analysis.sorted = options.sort;
    if (options.subFolders) {
        analysis.subFolders = true;
    }
}
