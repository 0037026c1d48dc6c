// Checks of the source tree that the compiler cannot make, run by ctest:
//
//   source_rules layers SOURCE_DIR TABLE
//       every #include "..." of a source follows the layering table: the folder of the
//       including file may include the folder of the included one;
//   source_rules lines SOURCE_DIR LIMIT FOLDER...
//       no source in those folders is longer than LIMIT lines;
//   source_rules colours SOURCE_DIR PALETTE FOLDER...
//       no source in those folders but the palette writes a colour value of its own.
//
// Each finding names the file and line; the exit code is the number of findings (at most
// 100), so ctest fails on any. Build trees and hidden folders are not part of the sources.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsSource(const fs::path& p) {
    const std::string ext = p.extension().string();
    return ext == ".cpp" || ext == ".h";
}

// The sources under root (relative paths with "/"), sorted.
std::vector<std::string> Sources(const fs::path& root, const std::string& under = {}) {
    std::vector<std::string> out;
    const fs::path start = under.empty() ? root : root / under;
    if (!fs::is_directory(start)) return out;
    for (auto it = fs::recursive_directory_iterator(start);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::path& p = it->path();
        const std::string name = p.filename().string();
        if (it->is_directory()) {
            if (name.empty() || name[0] == '.' || name.rfind("build", 0) == 0 ||
                fs::exists(p / "CMakeCache.txt"))
                it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && IsSource(p))
            out.push_back(fs::relative(p, root).generic_string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int findings = 0;

void Report(const std::string& file, size_t line, const std::string& text) {
    std::cout << file << ":" << line << ": " << text << "\n";
    ++findings;
}

// --- Layers ---

struct Table {
    // folder -> the folders its code may include (itself always).
    std::map<std::string, std::set<std::string>> rows;

    // The row a path belongs to: the longest folder that contains it.
    std::string FolderOf(const std::string& path) const {
        std::string best;
        for (const auto& [folder, allowed] : rows)
            if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
        return best;
    }
};

bool ReadTable(const fs::path& file, Table& table) {
    std::ifstream in(file);
    if (!in) {
        std::cout << file.string() << ": cannot read the layering table\n";
        return false;
    }
    std::string line;
    size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string folder, dep;
        if (!(words >> folder)) continue;
        if (table.rows.count(folder)) Report(file.string(), number, "second row for " + folder);
        auto& allowed = table.rows[folder];
        allowed.insert(folder);
        while (words >> dep) allowed.insert(dep);
    }
    for (const auto& [folder, allowed] : table.rows)
        for (const std::string& dep : allowed)
            if (!table.rows.count(dep))
                Report(file.string(), 0, folder + " may include " + dep + ", which has no row");
    return true;
}

int CheckLayers(const fs::path& root, const fs::path& tableFile) {
    Table table;
    if (!ReadTable(tableFile, table)) return 1;
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    for (const std::string& file : Sources(root)) {
        const std::string folder = table.FolderOf(file);
        if (folder.empty()) {
            Report(file, 0, "lies in a folder the layering table has no row for");
            continue;
        }
        const std::vector<std::string> lines = Lines(root / file);
        for (size_t i = 0; i < lines.size(); ++i) {
            std::smatch m;
            if (!std::regex_search(lines[i], m, include)) continue;
            const std::string name = m[1];
            // Beside the including file first, then from the top of the tree.
            std::string target =
                (fs::path(file).parent_path() / name).lexically_normal().generic_string();
            if (!fs::exists(root / target))
                target = fs::path(name).lexically_normal().generic_string();
            const std::string to = table.FolderOf(target);
            if (to.empty()) {
                Report(file, i + 1, "includes \"" + name + "\" from no folder of the table");
            } else if (!table.rows.at(folder).count(to)) {
                Report(file, i + 1,
                       "includes \"" + name + "\": " + folder + " may not include " + to);
            }
        }
    }
    return findings;
}

// --- File length ---

int CheckLines(const fs::path& root, int limit, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        for (const std::string& file : Sources(root, folder)) {
            const size_t count = Lines(root / file).size();
            if (count > static_cast<size_t>(limit))
                Report(file, count,
                       std::to_string(count) + " lines, more than " + std::to_string(limit) +
                           ": one screen per file");
        }
    return findings;
}

// --- Colours ---

int CheckColours(const fs::path& root, const std::string& palette,
                 const std::vector<std::string>& folders) {
    // "#1f6f8b" in a style sheet, QColor(0x1f, ...) or QColor(31, ...), rgb(...) and rgba(...).
    const std::regex colour(
        R"((["' :;,(]#[0-9a-fA-F]{3}([0-9a-fA-F]{3})?([0-9a-fA-F]{2})?\b)|\bQColor\s*\(\s*(0x)?[0-9]|\brgba?\s*\()");
    for (const std::string& folder : folders)
        for (const std::string& file : Sources(root, folder)) {
            if (file == palette || file.find("/tests/") != std::string::npos) continue;
            const std::vector<std::string> lines = Lines(root / file);
            for (size_t i = 0; i < lines.size(); ++i)
                if (std::regex_search(lines[i], colour))
                    Report(file, i + 1, "a colour of its own; take it from " + palette);
        }
    return findings;
}

int Usage() {
    std::cerr << "usage: source_rules layers SOURCE_DIR TABLE\n"
                 "       source_rules lines SOURCE_DIR LIMIT FOLDER...\n"
                 "       source_rules colours SOURCE_DIR PALETTE FOLDER...\n";
    return 100;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string what = argv[1];
    const fs::path root = argv[2];
    std::vector<std::string> rest(argv + 4, argv + argc);
    int result;
    if (what == "layers" && argc == 4)
        result = CheckLayers(root, argv[3]);
    else if (what == "lines" && argc > 4)
        result = CheckLines(root, std::atoi(argv[3]), rest);
    else if (what == "colours" && argc > 4)
        result = CheckColours(root, argv[3], rest);
    else
        return Usage();
    return std::min(result, 100);
}
