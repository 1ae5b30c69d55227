// The cycle a user goes through with real spreadsheet programs: a new list filled
// with openpyxl, saved by LibreOffice (or openpyxl), formed, saved again, rolled
// back, saved again, formed again. Every list cell comes back in its order, a
// hidden row and a taller row included; LibreOffice prints the formed demo
// workbook itself with one page per sheet and no stray "0" or "###"; and our own
// print of the demo is the same after LibreOffice or openpyxl saved it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Q(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Fills the list (rows 2..61 of the text column, a formula, a hidden and a taller
// row), checks it back, or saves the workbook unchanged.
constexpr const char* kScript = R"PY(
import sys, openpyxl
mode, path, col = sys.argv[1], sys.argv[2], int(sys.argv[3])
N = 60
def want(r):
    return "=1+%d" % r if r == 5 else "строка %d" % (r - 1)
if mode == "fill":
    wb = openpyxl.load_workbook(path); ws = wb["Д"]
    for r in range(2, N + 2):
        ws.cell(r, col).value = want(r)
    ws.row_dimensions[7].hidden = True
    ws.row_dimensions[9].height = 40
    wb.save(path)
elif mode == "save":
    wb = openpyxl.load_workbook(path); wb.save(path)
else:
    wb = openpyxl.load_workbook(path); ws = wb["Д"]
    bad = []
    for r in range(2, N + 2):
        got = ws.cell(r, col).value
        if str(got).replace(" ", "") != want(r).replace(" ", "") and not (r == 5 and got in (6, "6")):
            bad.append("row %d: %r" % (r, got))
    if not ws.row_dimensions[7].hidden:
        bad.append("row 7 is no longer hidden")
    for r in range(N + 2, N + 40):
        if ws.cell(r, col).value not in (None, ""):
            bad.append("row %d holds %r below the list" % (r, ws.cell(r, col).value))
    print("\n".join(bad))
)PY";

class ClientsCycle : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v soffice >/dev/null 2>&1") != 0 || access("/usr/bin/python3", X_OK) != 0 ||
            std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "LibreOffice or openpyxl is not installed";
        dir_ = fs::temp_directory_path() / ("ormelin-cycle-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "lo");
        std::ofstream(dir_ / "list.py") << kScript;
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    /// Runs a shell command; its exit status, its output in out.
    int Sh(const std::string& cmd, std::string* out = nullptr) const {
        const fs::path o = dir_ / "out.txt";
        const int st = std::system((cmd + " >" + Q(o.string()) + " 2>&1").c_str());
        if (out) *out = Slurp(o);
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    int Ormelin(const std::string& args, std::string* out = nullptr) const {
        return Sh(std::string(ORMELIN_BINARY_DIR) + "/ormelin " + args, out);
    }
    int Python(const std::string& mode, const fs::path& book, int col, std::string* out = nullptr) const {
        return Sh("/usr/bin/python3 " + Q((dir_ / "list.py").string()) + " " + mode + " " + Q(book.string()) + " " +
                      std::to_string(col),
                  out);
    }
    /// The workbook saved unchanged by LibreOffice, in place.
    void SaveByOffice(const fs::path& book) const {
        const fs::path lo = dir_ / "lo";
        ASSERT_EQ(Sh("soffice --headless --norestore -env:UserInstallation=file://" + (dir_ / "profile").string() +
                     " --convert-to xlsx --outdir " + Q(lo.string()) + " " + Q(book.string())),
                  0);
        fs::rename(lo / book.filename(), book);
    }
    void Save(const fs::path& book, bool office, int col) const {
        if (office)
            SaveByOffice(book);
        else
            ASSERT_EQ(Python("save", book, col), 0);
    }
    std::string State(const fs::path& book) const {
        std::string out;
        Ormelin("state " + Q(book.string()) + " Д", &out);
        return out;
    }

    fs::path dir_;
};

TEST_F(ClientsCycle, EveryA4ListSurvivesFormingAndRollbackThroughLibreOfficeAndOpenpyxl) {
    struct Kind {
        const char* name;
        int textColumn;
        const char* list;
        const char* formed;
    };
    for (const Kind& kind : {Kind{"spa", 4, "ksSPA_OT", "ksSPA_OF"}, Kind{"pe", 3, "ksPE_OT_1", "ksPE_OF"},
                             Kind{"vn", 2, "ksVN_OT", "ksVN_OF"}, Kind{"ve", 1, "ksVE_OT", "ksVE_OF"}}) {
        for (bool office : {true, false}) {
            SCOPED_TRACE(std::string(kind.name) + (office ? " through LibreOffice" : " through openpyxl"));
            const fs::path book = dir_ / (std::string(kind.name) + (office ? "-lo" : "-py") + ".xlsx");
            std::string out;
            ASSERT_EQ(Ormelin("new " + Q(book.string()) + " " + kind.name + " --name Д", &out), 0) << out;
            ASSERT_EQ(Python("fill", book, kind.textColumn, &out), 0) << out;
            Save(book, office, kind.textColumn);
            const int formed = Ormelin("form " + Q(book.string()) + " Д --print --revisions", &out);
            ASSERT_EQ(formed, 0) << out;
            EXPECT_NE(State(book).find(kind.formed), std::string::npos) << State(book);
            Save(book, office, kind.textColumn);
            ASSERT_EQ(Ormelin("rollback " + Q(book.string()) + " Д", &out), 0) << out;
            Save(book, office, kind.textColumn);
            EXPECT_NE(State(book).find(kind.list), std::string::npos) << State(book);
            ASSERT_EQ(Python("check", book, kind.textColumn, &out), 0) << out;
            EXPECT_EQ(out, "\n") << out;
            ASSERT_EQ(Ormelin("form " + Q(book.string()) + " Д", &out), 0) << out;
            EXPECT_NE(State(book).find(kind.formed), std::string::npos) << State(book);
        }
    }
}

TEST_F(ClientsCycle, LibreOfficePrintsTheFormedDemoWorkbookOnePagePerSheetWithNoStrayZeros) {
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils is not installed";
    std::string out;
    ASSERT_EQ(Ormelin("demo " + Q((dir_ / "demo").string()), &out), 0) << out;
    const fs::path book = dir_ / "demo" / "ormelin-demo.xlsx";
    const fs::path pdfDir = dir_ / "pdf";
    ASSERT_EQ(Sh("soffice --headless --norestore -env:UserInstallation=file://" + (dir_ / "profile").string() +
                 " --convert-to pdf --outdir " + Q(pdfDir.string()) + " " + Q(book.string())),
              0);
    const fs::path pdf = pdfDir / "ormelin-demo.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    // Every formed sheet prints on one page with its bottom line: no page holds a
    // bottom line without the title block above it, none holds two.
    ASSERT_EQ(Sh("pdftotext -layout " + Q(pdf.string()) + " -", &out), 0);
    std::vector<std::string> pages;
    std::size_t from = 0;
    for (std::size_t at = out.find('\f'); at != std::string::npos; at = out.find('\f', from = at + 1))
        pages.push_back(out.substr(from, at - from));
    int formed = 0;
    for (const std::string& page : pages) {
        const std::size_t bottom = page.find("Копировал");
        if (bottom == std::string::npos) continue;
        ++formed;
        EXPECT_EQ(page.find("Копировал", bottom + 1), std::string::npos) << page;
        EXPECT_NE(page.find("Изм."), std::string::npos) << "a bottom line on a page of its own:\n" << page;
        // nothing shows "###" or a lone "0"; the registration entry stays empty
        // while the change number is empty (no "Все", "Всего" is the table head)
        const bool registration = page.find("Лист регистрации изменений") != std::string::npos;
        std::istringstream words(page);
        std::string word;
        while (words >> word) {
            EXPECT_EQ(word.find("###"), std::string::npos) << page;
            EXPECT_NE(word, "0") << page;
            if (registration) {
                EXPECT_NE(word, "Все") << page;
            }
        }
    }
    // as many pages as `ormelin pdf` printed for the demo's documents
    int printed = 0;
    for (const auto& entry : fs::directory_iterator(dir_ / "demo")) {
        if (entry.path().extension() != ".pdf") continue;
        ASSERT_EQ(Sh("pdfinfo " + Q(entry.path().string()) + " | grep '^Pages:'", &out), 0);
        printed += std::stoi(out.substr(out.find(':') + 1));
    }
    EXPECT_GT(printed, 4);
    EXPECT_EQ(formed, printed);
}

TEST_F(ClientsCycle, OurPrintOfTheDemoIsTheSameAfterLibreOfficeOrOpenpyxlSavedIt) {
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils is not installed";
    std::string out;
    ASSERT_EQ(Ormelin("demo " + Q((dir_ / "demo").string()), &out), 0) << out;
    const fs::path original = dir_ / "demo" / "ormelin-demo.xlsx";
    const fs::path byOffice = dir_ / "office.xlsx", byPython = dir_ / "python.xlsx";
    fs::copy_file(original, byOffice);
    fs::copy_file(original, byPython);
    SaveByOffice(byOffice);
    ASSERT_EQ(Python("save", byPython, 1, &out), 0) << out;
    auto text = [&](const fs::path& book) {
        const fs::path pdf = dir_ / (book.stem().string() + ".pdf");
        std::string said;
        EXPECT_EQ(Ormelin("pdf " + Q(book.string()) + " " + Q(pdf.string()) + " --all", &said), 0) << said;
        EXPECT_EQ(Sh("pdftotext -layout " + Q(pdf.string()) + " -", &said), 0);
        return said;
    };
    // the first line that differs, with its number, or nothing
    auto firstDifference = [](const std::string& a, const std::string& b) -> std::string {
        std::istringstream x(a), y(b);
        std::string l, m;
        for (int n = 1;; ++n) {
            const bool more = static_cast<bool>(std::getline(x, l)), moreToo = static_cast<bool>(std::getline(y, m));
            if (!more && !moreToo) return {};
            if (more != moreToo || l != m) return "line " + std::to_string(n) + ":\n  " + l + "\n  " + m;
        }
    };
    const std::string printed = text(original);
    ASSERT_NE(printed.find("Лист регистрации изменений"), std::string::npos);
    EXPECT_EQ(firstDifference(printed, text(byOffice)), "") << "after LibreOffice saved the workbook";
    EXPECT_EQ(firstDifference(printed, text(byPython)), "") << "after openpyxl saved the workbook";
}

}  // namespace
