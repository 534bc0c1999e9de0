// Build-time tool: writes a program's manual page (man(7)) from its own --help text, so that the
// manual says what the program says and cannot drift from it.
//
//   quenrastilan-manpage PROGRAM SECTION DATE SOURCE SUMMARY OUT [SEE-ALSO...]
//
// e.g. quenrastilan-manpage build/quenrastilan 6 2026-12-08 "Quenrastilan 1.2.0" "real-time
// audiovisual demo" quenrastilan.6 quenrastilan-capture.1
//
// The help text is read as the programs write it:
//   usage: NAME ARGS...          the synopsis: one form a line, later forms under the first
//          NAME ARGS...          ("       NAME"), longer forms continued further in
//   (blank line)
//   Paragraphs...                the description, paragraphs apart by blank lines
//     --option ARG   text        the options: two spaces, the option, two or more spaces, its
//                    more text   text; deeper lines continue it, each "e.g." line and each line
//                      table     indented past the text's column on a line of its own
//   Title: text...               a paragraph (or a line) opening with "Word:" or "Two words:"
//                                at the margin starts a section of that name (KEYS, EXIT STATUS)
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

// Text for roff: backslashes escaped, a hyphen that opens a word (an option, a negative number)
// as a minus sign, characters past ASCII as \[uXXXX].
static std::string roff(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && (i == 0 || std::strchr(" [(|-/=", text[i - 1]))) {
            out += "\\-";
        } else if (c >= 0x80) {
            unsigned code = 0;
            int more = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : 1;
            code = c & (0x3f >> more);
            for (int k = 0; k < more && i + 1 < text.size(); k++)
                code = (code << 6) | ((unsigned char)text[++i] & 0x3f);
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "\\[u%04X]", code);
            out += buffer;
        } else {
            out += (char)c;
        }
    }
    return out;
}

// An escaped line of text with a control character at its start made plain.
static std::string roffLine(std::string out)
{
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out = "\\&" + out;
    return out;
}

// Text for roff as input lines of at most 80 bytes, broken between words (roff fills them again).
static std::string textLines(const std::string& text)
{
    std::string out, line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        std::string word = roff(text.substr(start, end - start));
        if (!line.empty() && line.size() + 1 + word.size() > 78) {
            out += roffLine(line) + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        out += roffLine(line) + "\n";
    return out;
}

static std::string upper(std::string text)
{
    for (char& c : text)
        c = (char)std::toupper((unsigned char)c);
    return text;
}

static size_t indentOf(const std::string& line)
{
    size_t n = line.find_first_not_of(' ');
    return n == std::string::npos ? line.size() : n;
}

static std::string trimmed(const std::string& line)
{
    return line.substr(indentOf(line));
}

static bool readHelp(const std::string& program, std::vector<std::string>& lines)
{
    std::string command = "'" + program + "' --help";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    if (pclose(pipe) != 0 || text.empty())
        return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 7) {
        std::fprintf(stderr, "usage: quenrastilan-manpage PROGRAM SECTION DATE SOURCE SUMMARY OUT [SEE-ALSO...]\n");
        return 2;
    }
    const std::string program = argv[1], section = argv[2], date = argv[3], source = argv[4],
                      summary = argv[5], outPath = argv[6];
    std::vector<std::string> lines;
    if (!readHelp(program, lines)) {
        std::fprintf(stderr, "quenrastilan-manpage: %s --help failed\n", program.c_str());
        return 1;
    }
    if (lines.empty() || lines[0].rfind("usage: ", 0) != 0) {
        std::fprintf(stderr, "quenrastilan-manpage: %s --help does not start with \"usage: \"\n",
                     program.c_str());
        return 1;
    }
    std::string name = program.substr(program.rfind('/') + 1);

    std::string out;
    out += ".TH " + upper(name) + " " + section + " " + date + " \"" + source + "\"\n";
    out += ".SH NAME\n" + roff(name) + " \\- " + roff(summary) + "\n";

    // The synopsis: each form's name in bold, its arguments after it.
    out += ".SH SYNOPSIS\n";
    size_t i = 0;
    const size_t formIndent = std::strlen("usage: ");
    bool firstForm = true;
    for (; i < lines.size() && !lines[i].empty(); i++) {
        const std::string& line = lines[i];
        std::string text = trimmed(i == 0 ? line.substr(formIndent) : line);
        bool newForm = i == 0 || (indentOf(line) == formIndent && text.rfind(name, 0) == 0);
        if (newForm) {
            if (!firstForm)
                out += ".br\n";
            firstForm = false;
            out += ".B " + roff(name) + "\n";
            text = trimmed(text.substr(name.size()));
        }
        if (!text.empty())
            out += textLines(text);
    }

    static const std::regex titled("^([A-Z][a-z]+(?: [a-z]+)?): (.*)$");
    enum { DESCRIPTION, OPTIONS, TITLED } where = DESCRIPTION;
    out += ".SH DESCRIPTION\n";
    bool paragraphOpen = false;  // text has been written since the last heading or break
    bool blankBefore = false;
    size_t textColumn = 0;  // the options' text column
    for (i++; i < lines.size(); i++) {
        const std::string& line = lines[i];
        if (line.empty()) {
            blankBefore = true;
            continue;
        }
        std::smatch m;
        size_t indent = indentOf(line);
        std::string text = trimmed(line);
        if (indent == 0 && std::regex_match(line, m, titled)) {
            out += ".SH " + upper(m[1].str()) + "\n" + textLines(m[2].str());
            where = TITLED;
            paragraphOpen = true;
        } else if (indent == 2 && text[0] == '-') {
            if (where != OPTIONS)
                out += ".SH OPTIONS\n";
            where = OPTIONS;
            size_t gap = text.find("  ");
            std::string term = text.substr(0, gap);
            std::string rest = gap == std::string::npos ? "" : trimmed(text.substr(gap));
            textColumn = gap == std::string::npos ? 0 : line.size() - rest.size();
            out += ".TP\n.B " + roff(term) + "\n";
            if (!rest.empty())
                out += textLines(rest);
        } else if (where == OPTIONS && indent > 0) {
            if (indent > textColumn || text.rfind("e.g. ", 0) == 0)
                out += ".br\n";
            out += textLines(text);
        } else {
            // A paragraph after the options closes their list.
            if (where == OPTIONS || (blankBefore && paragraphOpen))
                out += ".PP\n";
            if (where == OPTIONS)
                where = TITLED;
            out += textLines(text);
            paragraphOpen = true;
        }
        blankBefore = false;
    }

    if (argc > 7) {
        out += ".SH SEE ALSO\n";
        for (int k = 7; k < argc; k++) {
            std::string ref = argv[k];
            size_t dot = ref.rfind('.');
            out += ".BR " + roff(ref.substr(0, dot)) + " (" + ref.substr(dot + 1) + ")" +
                   (k + 1 < argc ? "," : "") + "\n";
        }
    }

    FILE* file = std::fopen(outPath.c_str(), "w");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "quenrastilan-manpage: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
