// medium-make GAME_DIR OUT_DIR ...: from a game's folder tree to checked
// discs (and, with --iso, their images) in one command. Exit codes in
// arguments.cpp's usage text.
#include <dirent.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "arguments.h"
#include "checks.h"
#include "control_files.h"
#include "game_tree.h"
#include "layout.h"
#include "output.h"
#include "selection.h"
#include "summary.h"
#include "text.h"

static int is_folder(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static int file_size(const std::string &path, unsigned long long *size)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    fclose(f);
    *size = (unsigned long long)st.st_size;
    return 1;
}

// 1 when `path` is missing or an empty folder.
static int free_for_output(const std::string &path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return 1;
    DIR *dir = S_ISDIR(st.st_mode) ? opendir(path.c_str()) : nullptr;
    if (!dir)
        return 0;
    int entries = 0;
    while (struct dirent *d = readdir(dir))
        entries += strcmp(d->d_name, ".") != 0 && strcmp(d->d_name, "..") != 0;
    closedir(dir);
    return entries == 0;
}

struct Inputs {
    GameTree tree, directx;
    FixedCosts fixed = {0, 0, 0};
    std::string comment;
    int has_comment = 0;
};

// Everything beside the game tree that goes on the discs, with its cost.
static void read_inputs(const MakeRequest &r, Inputs *in, std::vector<std::string> *refusals)
{
    unsigned long long size = 0;
    std::string installer = r.unix_installer.empty() ? own_folder() + "/../installer.exe" : r.unix_installer;
    if (!file_size(installer, &size))
        refusals->push_back(installer + ": the program to put on the medium cannot be read (scripts/build makes it)");
    in->fixed.setup = image_folder_cost(SETUP_FOLDER) + image_file_cost("installer.exe", size);
    if (!r.unix_splash.empty()) {
        if (!file_size(r.unix_splash, &size))
            refusals->push_back(r.unix_splash + ": --splash cannot be read");
        in->fixed.setup += image_file_cost("installer.bmp", size);
    }
    if (!r.unix_comment.empty()) {
        std::string bytes;
        FILE *f = fopen(r.unix_comment.c_str(), "rb");
        char buffer[65536];
        for (size_t n; f && (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, n);
        if (!f)
            refusals->push_back(r.unix_comment + ": --comment cannot be read");
        else if (!utf8_to_cp932(bytes, &in->comment))
            refusals->push_back(r.unix_comment + ": --comment holds a character code page 932 cannot hold");
        if (f)
            fclose(f);
        in->comment = crlf_lines(in->comment);
        in->has_comment = 1;
        in->fixed.setup += image_file_cost("comment.txt", in->comment.size());
    }
    if (!r.unix_directx.empty()) {
        if (!is_folder(r.unix_directx)) {
            refusals->push_back(r.unix_directx + ": --directx is not a folder");
            return;
        }
        read_game_tree(r.unix_directx, &in->directx, refusals);
        int setup = 0;
        for (const TreeFile &file : in->directx.folders[0].files)
            setup |= strcasecmp(file.name.c_str(), "dxsetup.exe") == 0;
        if (!setup)
            refusals->push_back(r.unix_directx + ": --directx holds no dxsetup.exe, which the installer starts");
        in->fixed.has_directx = 1;
        in->fixed.directx = image_folder_cost("DirectX");
        for (size_t f = 0; f < in->directx.folders.size(); f++) {
            const TreeFolder &folder = in->directx.folders[f];
            if (f)
                in->fixed.directx += image_folder_cost(folder.path);
            for (const TreeFile &file : folder.files)
                in->fixed.directx += image_file_cost(file.name, file.size);
        }
    }
}

static int refuse(const std::vector<std::string> &refusals)
{
    for (const std::string &refusal : refusals)
        fprintf(stderr, "medium-make: error: %s\n", refusal.c_str());
    fprintf(stderr, "medium-make: nothing written\n");
    return MAKE_REFUSED;
}

int main(int argc, char **argv)
{
    std::vector<std::string> words(argv + 1, argv + argc);
    for (const std::string &word : words)
        if (word == "--help" || word == "-h") {
            fputs(MEDIUM_MAKE_USAGE, stdout);
            return MAKE_OK;
        }
    MakeRequest request;
    std::string error;
    if (!parse_arguments(words, &request, &error)) {
        fprintf(stderr, "medium-make: %s\n%s", error.c_str(), MEDIUM_MAKE_USAGE);
        return MAKE_USAGE;
    }
    std::vector<std::string> refusals, warnings;
    if (!is_folder(request.unix_game_dir))
        return refuse({request.unix_game_dir + ": GAME_DIR is not a folder"});
    if (!request.dry_run && !free_for_output(request.unix_out_dir))
        return refuse({request.unix_out_dir + ": OUT_DIR exists and is not an empty folder"});
    Inputs in;
    read_game_tree(request.unix_game_dir, &in.tree, &refusals);
    select_options(request.options, &in.tree);
    read_inputs(request, &in, &refusals);
    check_request(request, in.tree, &refusals, &warnings);
    if (!refusals.empty())
        return refuse(refusals);
    MediumPlan plan;
    if (!plan_medium(request, in.tree, in.fixed, &plan, &error))
        return refuse({error});
    plan.comment = in.comment;
    plan.has_comment = in.has_comment;
    error = refusal_of_controls(request, plan);
    if (!error.empty())
        return refuse({error});
    for (const std::string &warning : warnings)
        fprintf(stderr, "medium-make: warning: %s\n", warning.c_str());
    if (request.dry_run) {
        fputs(plan_text(in.tree, plan).c_str(), stdout);
        fputs(summary_text(request, in.tree, plan, 0).c_str(), stdout);
        return MAKE_OK;
    }
    std::string report;
    int code = write_medium(request, in.tree, in.fixed.has_directx ? &in.directx : nullptr, plan, show_progress,
                            &report, &error);
    if (code != MAKE_OK) {
        fputs(report.c_str(), stderr);
        fprintf(stderr, "medium-make: error: %s; nothing written\n", error.c_str());
        return code;
    }
    if (report.find("warning:") != std::string::npos)
        fputs(report.c_str(), stderr);
    fputs(summary_text(request, in.tree, plan, 1).c_str(), stdout);
    return MAKE_OK;
}
