// docs/publishing.md as the tests read it (UTF-8 text, whatever platform):
// the worked examples with the one finding each broken one must print, the
// files it quotes, and the texts of its troubleshooting table. The guide is
// the table of the tests, so the two cannot disagree.
#pragma once

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace guide {

struct Example {
    std::string name;           // its folder under docs/examples
    std::string finding;        // the line medium-check prints; "" for a good example
};

struct Quote {
    std::string path;           // relative to docs/, '/' between folders
    std::string text;           // as the guide shows it: LF line ends
};

inline std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The cells of a table row ("| a | `b|c` |"), trimmed; none for other lines.
inline std::vector<std::string> cells_of(const std::string &line)
{
    std::vector<std::string> cells;
    if (line.empty() || line[0] != '|')
        return cells;
    std::string cell;
    bool in_code = false;
    for (size_t i = 1; i < line.size(); i++) {
        if (line[i] == '`')
            in_code = !in_code;
        if (line[i] == '|' && !in_code) {
            size_t first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
            cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
            cell.clear();
        } else {
            cell += line[i];
        }
    }
    return cells;
}

inline std::vector<std::string> code_spans(const std::string &cell)
{
    std::vector<std::string> spans;
    static const std::regex span("`([^`]*)`");
    for (std::sregex_iterator it(cell.begin(), cell.end(), span), end; it != end; ++it)
        spans.push_back((*it)[1]);
    return spans;
}

// The lines from the heading `heading` up to the next heading of its level.
inline std::vector<std::string> section(const std::string &guide, const std::string &heading)
{
    std::vector<std::string> out;
    const std::string level = heading.substr(0, heading.find(' ') + 1);
    bool inside = false;
    for (const std::string &line : lines_of(guide)) {
        if (line == heading)
            inside = true;
        else if (inside && line.compare(0, level.size(), level) == 0)
            break;
        else if (inside)
            out.push_back(line);
    }
    return out;
}

// Every table row that links an example: a row with a medium-check line in
// code is a broken example's, any other row a good example's.
inline std::vector<Example> examples(const std::string &guide)
{
    static const std::regex link("\\]\\(examples/([^)/]+)\\)");
    static const std::regex finding(": (error|warning): .* \\[[a-z-]+\\]$");
    std::vector<Example> found;
    for (const std::string &line : lines_of(guide)) {
        std::smatch name;
        if (cells_of(line).empty() || !std::regex_search(line, name, link))
            continue;
        Example example = {name[1], ""};
        for (const std::string &cell : cells_of(line))
            for (const std::string &span : code_spans(cell))
                if (std::regex_search(span, finding))
                    example.finding = span;
        found.push_back(example);
    }
    return found;
}

// Every file the guide quotes below `folder`: a line "`<folder>/...`:" and
// the fenced block right after it (the examples, or what the worked example's
// command writes below out/made).
inline std::vector<Quote> quotes(const std::string &guide, const std::string &folder = "examples")
{
    const std::regex caption("^`(" + folder + "/[^`]+)`:$");
    std::vector<Quote> found;
    std::vector<std::string> lines = lines_of(guide);
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        std::smatch path;
        if (!std::regex_match(lines[i], path, caption) || lines[i + 1] != "```")
            continue;
        Quote quote = {path[1], ""};
        for (i += 2; i < lines.size() && lines[i] != "```"; i++)
            quote.text += lines[i] + "\n";
        found.push_back(quote);
    }
    return found;
}

// The texts of the program the troubleshooting section holds: what stands in
// code in the first two cells of its tables (captions, texts, the names that
// fill a message, the other texts shown).
inline std::set<std::string> program_texts(const std::string &guide)
{
    std::set<std::string> texts;
    for (const std::string &line : section(guide, "## Troubleshooting: what the program shows")) {
        std::vector<std::string> cells = cells_of(line);
        for (size_t i = 0; i < cells.size() && i < 2; i++)
            for (const std::string &span : code_spans(cells[i]))
                texts.insert(span);
    }
    return texts;
}

// The one command the guide opens with: the words of the first line that
// starts with "build/native/medium-make" and of the lines it continues onto
// (each ending in " \\"), split at blanks; a word may be double-quoted.
inline std::vector<std::string> make_command(const std::string &guide)
{
    std::string line;
    bool inside = false;
    for (const std::string &text : lines_of(guide)) {
        if (!inside && text.compare(0, 24, "build/native/medium-make") != 0)
            continue;
        inside = true;
        line += text;
        if (line.empty() || line.back() != '\\')
            break;
        line.pop_back();
    }
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line + " ") {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any || !word.empty())
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
        }
    }
    return words;
}

}  // namespace guide
