#include "output.h"

#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "layout.h"
#include "text.h"

extern char **environ;

std::string own_folder(void)
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = '\0';
    std::string full = path;
    return full.substr(0, full.rfind('/'));
}

static int remove_entry(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

void remove_tree(const std::string &path)
{
    nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

int run_program(const std::vector<std::string> &argv, std::string *output)
{
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    std::vector<char *> args;
    for (const std::string &word : argv)
        args.push_back(const_cast<char *>(word.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipe_ends[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            output->append(buffer, (size_t)n);
    close(pipe_ends[0]);
    if (started != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ---- writing the discs ----

struct Writer {
    const MakeRequest *request;
    std::string temp;
    std::string *error;
    Progress progress;
    unsigned long long done, total;
};

static int failed(Writer &w, const std::string &path)
{
    *w.error = path + ": " + strerror(errno);
    return 0;
}

static int make_folder(Writer &w, const std::string &path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST ? 1 : failed(w, path);
}

static int write_text(Writer &w, const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return failed(w, path);
    int ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    return ok ? 1 : failed(w, path);
}

// A whole copy, its modification time kept.
static int copy_file(Writer &w, const std::string &from, const std::string &to)
{
    int in = open(from.c_str(), O_RDONLY);
    if (in < 0)
        return failed(w, from);
    struct stat st;
    fstat(in, &st);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        close(in);
        return failed(w, to);
    }
    static char buffer[1 << 20];
    int ok = 1;
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0 ? ok : failed(w, from);
            break;
        }
        for (ssize_t put = 0; put < n;) {
            ssize_t m = write(out, buffer + put, (size_t)(n - put));
            if (m < 0 && errno != EINTR) {
                ok = failed(w, to);
                break;
            }
            put += m > 0 ? m : 0;
        }
        if (!ok)
            break;
    }
    close(in);
    if (close(out) != 0 && ok)
        ok = failed(w, to);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, to.c_str(), times, 0);
    return ok;
}

// Copies the tree at `from` whole to `to` (the DirectX folder).
static int copy_tree(Writer &w, const GameTree &tree, const std::string &from, const std::string &to)
{
    for (const TreeFolder &folder : tree.folders) {
        std::string source = folder.unix_path.empty() ? from : from + "/" + folder.unix_path;
        std::string target = folder.unix_path.empty() ? to : to + "/" + folder.unix_path;
        if (!make_folder(w, target))
            return 0;
        for (const TreeFile &file : folder.files)
            if (!copy_file(w, source + "/" + file.unix_name, target + "/" + file.unix_name))
                return 0;
    }
    return 1;
}

static std::string disc_folder(const Writer &w, int disc)
{
    return w.temp + "/disc" + std::to_string(disc);
}

static std::string data_folder(const Writer &w, int disc)
{
    return disc_folder(w, disc) + (disc == 1 ? std::string("/") + SETUP_FOLDER : std::string()) + "/" + DATA_FOLDER;
}

static int write_setup(Writer &w, const MediumPlan &plan)
{
    const MakeRequest &r = *w.request;
    std::string setup = disc_folder(w, 1) + "/" + SETUP_FOLDER;
    std::string installer = r.unix_installer.empty() ? own_folder() + "/../installer.exe" : r.unix_installer;
    if (!make_folder(w, setup) || !copy_file(w, installer, setup + "/installer.exe")
        || !write_text(w, setup + "/install.txt", plan.settings))
        return 0;
    for (size_t n = 0; n < plan.options.size(); n++)
        if (!write_text(w, setup + "/filelist" + std::to_string(n) + ".txt", plan.options[n].list))
            return 0;
    if (plan.has_comment && !write_text(w, setup + "/comment.txt", plan.comment))
        return 0;
    return r.unix_splash.empty() || copy_file(w, r.unix_splash, setup + "/installer.bmp");
}

static int write_discs(Writer &w, const GameTree &tree, const GameTree *directx, const MediumPlan &plan)
{
    if (!make_folder(w, w.temp))
        return 0;
    for (size_t d = 1; d <= plan.discs.size(); d++) {
        if (!make_folder(w, disc_folder(w, (int)d)))
            return 0;
        if (d > 1 && !write_text(w, disc_folder(w, (int)d) + "/" + cp932_to_utf8_text(check_file_name(w.request->title, (int)d)),
                                 disc_name(w.request->title, (int)d) + "\r\n"))
            return 0;
    }
    if (!write_setup(w, plan))
        return 0;
    for (size_t d = 1; d <= plan.discs.size(); d++)
        if (!make_folder(w, data_folder(w, (int)d)))
            return 0;
    for (const DiscFolder &folder : plan.folders) {
        const TreeFolder &source = tree.folders[folder.folder];
        std::string target = data_folder(w, folder.disc) + "/" + cp932_to_utf8_text(folder.name);
        if (!make_folder(w, target))
            return 0;
        for (int i : folder.files) {
            const TreeFile &file = source.files[i];
            std::string from = w.request->unix_game_dir + "/"
                               + (source.unix_path.empty() ? "" : source.unix_path + "/") + file.unix_name;
            if (!copy_file(w, from, target + "/" + file.unix_name))
                return 0;
            if (w.progress)
                w.progress(++w.done, w.total);
        }
    }
    for (size_t d = 1; d <= plan.discs.size(); d++)
        if (plan.discs[d - 1].directx && !copy_tree(w, *directx, w.request->unix_directx,
                                                     disc_folder(w, (int)d) + "/DirectX"))
            return 0;
    return 1;
}

static std::vector<std::string> disc_arguments(const Writer &w, const MediumPlan &plan, int images)
{
    std::vector<std::string> words = {disc_folder(w, 1) + "/" + SETUP_FOLDER};
    if (images)
        words.push_back(w.temp + "/disc1.iso");
    for (size_t d = 2; d <= plan.discs.size(); d++) {
        words.push_back(disc_folder(w, (int)d));
        if (images)
            words.push_back(w.temp + "/disc" + std::to_string(d) + ".iso");
    }
    return words;
}

int write_medium(const MakeRequest &request, const GameTree &tree, const GameTree *directx, const MediumPlan &plan,
                 Progress progress, std::string *report, std::string *error)
{
    std::string out = request.unix_out_dir;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    size_t slash = out.rfind('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : out.substr(0, slash);
    std::string temp = parent + "/." + out.substr(slash == std::string::npos ? 0 : slash + 1) + ".part-"
                       + std::to_string((long)getpid());
    Writer w = {&request, temp, error, progress, 0, tree.files};
    // The folders above OUT_DIR that are missing are made, and go again if
    // the medium is not made.
    std::vector<std::string> made;
    for (size_t at = parent.find('/', 1);; at = parent.find('/', at + 1)) {
        std::string folder = at == std::string::npos ? parent : parent.substr(0, at);
        if (mkdir(folder.c_str(), 0755) == 0)
            made.push_back(folder);
        if (at == std::string::npos)
            break;
    }
    auto undo = [&](int code) {
        remove_tree(temp);
        for (size_t k = made.size(); k-- > 0;)
            rmdir(made[k].c_str());
        return code;
    };
    if (!write_discs(w, tree, directx, plan))
        return undo(MAKE_WRITE_FAILED);
    std::vector<std::string> check = {own_folder() + "/medium-check"};
    for (const std::string &word : disc_arguments(w, plan, 0))
        check.push_back(word);
    int status = run_program(check, report);
    if (status < 0 || status >= 2) {
        *error = status < 0 ? "medium-check could not be run from " + check[0] : "medium-check found errors";
        return undo(status < 0 ? MAKE_WRITE_FAILED : MAKE_CHECKER);
    }
    if (request.iso) {
        std::vector<std::string> master = {own_folder() + "/../../scripts/master-medium", "--label", request.label};
        for (const std::string &word : disc_arguments(w, plan, 1))
            master.push_back(word);
        std::string said;
        int mastered = run_program(master, &said);
        if (mastered != 0) {
            *error = mastered < 0 ? master[0] + " could not be run" : "scripts/master-medium failed:\n" + said;
            return undo(MAKE_WRITE_FAILED);
        }
    }
    rmdir(out.c_str());                 // an empty OUT_DIR is replaced
    if (rename(temp.c_str(), out.c_str()) != 0) {
        *error = out + ": " + strerror(errno);
        return undo(MAKE_WRITE_FAILED);
    }
    return MAKE_OK;
}
