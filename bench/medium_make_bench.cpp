// medium-make's layout, timed (not part of scripts/test): a generated game
// tree is read from disk, its options selected, checked and laid out onto
// discs with every list written and read back by the installer's readers,
// which is all medium-make does before it writes. Two trees: 20,000 files in
// 2,000 folders, and one the size of a real game's data (1,828 files in 221
// folders). Usage: medium_make_bench WORK_DIR
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>

#include <string>

#include "checks.h"
#include "control_files.h"
#include "game_tree.h"
#include "layout.h"
#include "selection.h"

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

// `folders` folders (top folders of up to 100 subfolders each) holding
// `files` files between them, of a few KiB each.
static void generate(const std::string &root, int folders, int files)
{
    mkdir(root.c_str(), 0755);
    std::vector<std::string> paths;
    for (int top = 0; (int)paths.size() < folders; top++) {
        std::string t = root + "/data" + std::to_string(top);
        mkdir(t.c_str(), 0755);
        paths.push_back(t);
        for (int sub = 0; sub < 99 && (int)paths.size() < folders; sub++) {
            std::string s = t + "/level" + std::to_string(sub);
            mkdir(s.c_str(), 0755);
            paths.push_back(s);
        }
    }
    std::string bytes(8192, 'x');
    for (int i = 0; i < files; i++) {
        std::string path = i == 0 ? root + "/game.exe" : paths[i % paths.size()] + "/file" + std::to_string(i) + ".dat";
        FILE *f = fopen(path.c_str(), "wb");
        fwrite(bytes.data(), 1, (size_t)(i * 37 % 8192), f);
        fclose(f);
    }
}

static void time_layout(const std::string &work, int folders, int files, const char *disc_size)
{
    std::string root = work + "/tree-" + std::to_string(files);
    generate(root, folders, files);
    MakeRequest request;
    request.unix_game_dir = root;
    request.title = "BenchGame";
    request.maker = "Bench";
    request.brand = "BenchSoft";
    request.caption = "Bench";
    request.program = "game.exe";
    request.options = {OptionRequest{"All", {}}, OptionRequest{"Small", {{0, "data1*"}}}};
    request.disc_size = strtoull(disc_size, nullptr, 10);
    double start = now();
    clock_t cpu = clock();
    GameTree tree;
    std::vector<std::string> refusals, warnings;
    read_game_tree(root, &tree, &refusals);
    double read = now();
    select_options(request.options, &tree);
    check_request(request, tree, &refusals, &warnings);
    MediumPlan plan;
    std::string error;
    FixedCosts fixed = {image_folder_cost("setup") + image_file_cost("installer.exe", 400000), 0, 0};
    int planned = plan_medium(request, tree, fixed, &plan, &error);
    std::string refusal = planned ? refusal_of_controls(request, plan) : error;
    double end = now();
    double cpu_seconds = (double)(clock() - cpu) / CLOCKS_PER_SEC;
    int statements = 0;
    for (const OptionPlan &option : plan.options)
        statements += option.statements;
    printf("%6llu files in %5zu folders: %.3f s, %.3f s of processor time (reading the tree %.3f s, checks "
           "and layout %.3f s); "
           "%zu discs of %s bytes, %d copy statements%s%s\n",
           tree.files, tree.folders.size() - 1, end - start, cpu_seconds, read - start, end - read, plan.discs.size(), disc_size,
           statements, refusal.empty() ? "" : "; refused: ", refusal.c_str());
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fputs("usage: medium_make_bench WORK_DIR\n", stderr);
        return 2;
    }
    time_layout(argv[1], 2000, 20000, "50000000");
    time_layout(argv[1], 221, 1828, "5000000");
    return 0;
}
