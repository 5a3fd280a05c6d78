// medium-make's tests: game trees made on disk (sparse files, so a test may
// ask for discs' worth of bytes at no cost), and the built program run on
// them with what it printed and its exit code.
#pragma once

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace make_test {

// A fresh folder below the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/medium-make-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

inline void make_parents(const std::string &path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

// Entries "a/b/" make a folder, "a/b.txt" a file of one byte, "a/b.bin=N" a
// file of N bytes (names in UTF-8).
inline void make_tree(const std::string &root, const std::vector<std::string> &entries)
{
    mkdir(root.c_str(), 0755);
    for (const std::string &entry : entries) {
        std::string path = root + "/" + entry;
        make_parents(path);
        if (path.back() == '/')
            continue;
        size_t equals = path.rfind('=');
        long long size = equals == std::string::npos ? 1 : atoll(path.c_str() + equals + 1);
        if (equals != std::string::npos)
            path.resize(equals);
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << path;
        if (size == 1)
            ASSERT_EQ(1, write(fd, "x", 1));
        else
            ASSERT_EQ(0, ftruncate(fd, size));
        close(fd);
    }
}

inline std::string read_bytes(const std::string &path)
{
    std::string bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

inline bool exists(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The names in `folder`, sorted; "." and ".." left out.
inline std::vector<std::string> listing(const std::string &folder)
{
    std::string out;
    FILE *p = popen(("ls -A '" + folder + "' 2>/dev/null").c_str(), "r");
    char line[1024];
    std::vector<std::string> names;
    while (p && fgets(line, sizeof line, p)) {
        std::string name = line;
        name.pop_back();
        names.push_back(name);
    }
    if (p)
        pclose(p);
    return names;
}

struct MakeRun {
    int code;
    std::string output;             // standard output and error
};

// The built medium-make with `arguments` (each one word).
inline MakeRun run_make(const std::vector<std::string> &arguments)
{
    std::string command = MEDIUM_MAKE_PROGRAM;
    for (const std::string &word : arguments)
        command += " '" + word + "'";
    command += " 2>&1";
    MakeRun run = {-1, ""};
    FILE *p = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;)
        run.output.append(buffer, n);
    int status = pclose(p);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace make_test
