#include "summary.h"

#include <stdio.h>
#include <unistd.h>

#include "text.h"

// 1234567 as "1,234,567".
static std::string grouped(unsigned long long n)
{
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

static std::string option_numbers(unsigned options)
{
    std::string out;
    for (int n = 0; n < 32; n++)
        if (options & (1u << n))
            out += (out.empty() ? "" : ",") + std::to_string(n);
    return out;
}

std::string plan_text(const GameTree &tree, const MediumPlan &plan)
{
    std::string out;
    for (const DiscFolder &folder : plan.folders) {
        const std::string &target = tree.folders[folder.folder].path;
        out += "  disc " + std::to_string(folder.disc) + "  " + cp932_to_utf8_text(folder.name) + " -> "
               + (target.empty() ? std::string("(install folder)") : cp932_to_utf8_text(target)) + "  "
               + std::to_string(folder.files.size()) + " files, " + grouped(folder.bytes) + " bytes, options "
               + option_numbers(folder.options) + "\n";
    }
    return out;
}

static std::string disc_range(const std::vector<int> &discs)
{
    if (discs.empty())
        return "disc 1";
    std::string out = discs.size() == 1 ? "disc " : "discs ";
    for (size_t k = 0; k < discs.size(); k++)
        out += (k ? "," : "") + std::to_string(discs[k]);
    return out;
}

std::string summary_text(const MakeRequest &request, const GameTree &tree, const MediumPlan &plan, int written)
{
    std::string out = "medium-make: " + request.unix_out_dir + (written ? "" : " (dry run: nothing written)") + ": "
                      + std::to_string(plan.discs.size()) + (plan.discs.size() == 1 ? " disc" : " discs");
    out += plan.capacity ? " of " + grouped(plan.capacity) + " bytes\n" : ", one disc holds everything\n";
    for (size_t d = 0; d < plan.discs.size(); d++) {
        const DiscPlan &disc = plan.discs[d];
        char fill[32] = "";
        if (plan.capacity)
            snprintf(fill, sizeof fill, " (%.0f%%)", 100.0 * (double)disc.used / (double)plan.capacity);
        out += "  disc " + std::to_string(d + 1) + ": " + grouped(disc.used) + " bytes" + fill + ", "
               + std::to_string(disc.folders) + " folders, " + std::to_string(disc.files) + " files"
               + (d == 0 ? ", the program's folder" : "") + (disc.directx ? ", DirectX" : "") + "\n";
    }
    int statements = 0;
    for (size_t n = 0; n < plan.options.size(); n++) {
        const OptionPlan &option = plan.options[n];
        statements += option.statements;
        out += "  option " + std::to_string(n) + " \"" + cp932_to_utf8_text(option.name) + "\": "
               + std::to_string(option.megabytes) + " MB (" + grouped(option.bytes) + " bytes), "
               + disc_range(option.discs) + ", " + std::to_string(option.statements) + " copy statements\n";
    }
    out += "  game: " + grouped(tree.files) + " files, " + grouped(tree.folders.size()) + " folders, "
           + grouped(plan.folders.size()) + " copied folders, " + grouped(statements) + " copy statements in all\n";
    if (written && request.iso) {
        out += "  images:";
        for (size_t d = 1; d <= plan.discs.size(); d++)
            out += " disc" + std::to_string(d) + ".iso";
        out += "\n";
    }
    return out;
}

void show_progress(unsigned long long done, unsigned long long total)
{
    static int terminal = -1;
    if (terminal < 0)
        terminal = isatty(2);
    if (!terminal || total < 1000 || (done % 100 != 0 && done != total))
        return;
    fprintf(stderr, "\rmedium-make: writing %llu of %llu files", done, total);
    if (done == total)
        fputc('\n', stderr);
}
