// Sheet- and book-level features of a user's workbook that a command keeps when
// it writes the workbook in place: the 1904 date system, outline groups of rows
// and columns, hidden columns' widths, right-to-left sheets, printed gridlines
// and headings. Files come from openpyxl, go through the command, and openpyxl
// reads back what the command wrote; the model's side is tested beside them.
#include <cstdlib>

#include "xlsx/xlsx_fixture.hpp"

namespace ormelin::xlsx::testing {
namespace {

using model::ColumnRecord;
using model::RowRecord;

/// The outline levels of rows 1..last (0 for rows without a record).
std::vector<int> RowLevels(const model::ModelWorksheet& sheet, int last) {
    std::vector<int> levels(static_cast<std::size_t>(last), 0);
    sheet.ForEachRow([&](int row, const RowRecord& record) {
        if (row <= last) levels[static_cast<std::size_t>(row - 1)] = record.outlineLevel;
    });
    return levels;
}

/// The rows whose record says collapsed.
std::vector<int> CollapsedRows(const model::ModelWorksheet& sheet) {
    std::vector<int> rows;
    sheet.ForEachRow([&](int row, const RowRecord& record) {
        if (record.collapsed) rows.push_back(row);
    });
    return rows;
}

/// The outline levels of columns 1..last.
std::vector<int> ColumnLevels(const model::ModelWorksheet& sheet, int last) {
    std::vector<int> levels(static_cast<std::size_t>(last), 0);
    for (const auto& c : sheet.Columns())
        for (int i = c.first; i <= std::min(c.last, last); ++i) levels[static_cast<std::size_t>(i - 1)] = c.outlineLevel;
    return levels;
}

const ColumnRecord* ColumnOf(const std::vector<ColumnRecord>& columns, int column) {
    for (const auto& c : columns)
        if (c.first <= column && column <= c.last) return &c;
    return nullptr;
}

RowRecord Level(int level, double height = -1, bool collapsed = false) {
    RowRecord record;
    record.outlineLevel = static_cast<std::uint8_t>(level);
    record.height = height;
    record.collapsed = collapsed;
    return record;
}

// ---------------------------------------------------------------- the model

TEST(SheetFeatures, RowsInsertedAboveAGroupMoveItAndInsideItJoinIt) {
    auto app = MakeApp();
    auto sheet = app->NewWorkbook()->ModelSheet(1);
    // rows 4..6 a collapsed group (hidden), its summary row 7 below; rows 9..10 level 2 in 8..11
    for (int r = 4; r <= 6; ++r) sheet->LoadRow(r, Level(1, 0));
    sheet->LoadRow(7, Level(0, -1, true));
    sheet->LoadRow(8, Level(1));
    sheet->LoadRow(9, Level(2));
    sheet->LoadRow(10, Level(2));
    sheet->LoadRow(11, Level(1));
    sheet->SetLiteral(Area{5, 1, 5, 1}, std::string("в группе"));

    sheet->InsertRows(2, 2);  // above every group: they move down by two
    EXPECT_EQ(RowLevels(*sheet, 14), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(CollapsedRows(*sheet), std::vector<int>{9});
    for (int r = 6; r <= 8; ++r) EXPECT_EQ(sheet->RowHeight(r), 0) << "row " << r << " of the collapsed group";
    EXPECT_EQ(std::get<std::string>(sheet->Content(7, 1).value), "в группе");

    sheet->InsertRows(12, 1);  // between two rows of level 2: joins the inner group
    EXPECT_EQ(RowLevels(*sheet, 15), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 0, 1, 2, 2, 2, 1, 0}));
    sheet->InsertRows(14, 1);  // below the inner group's last row: only in the outer one
    EXPECT_EQ(RowLevels(*sheet, 16), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 0, 1, 2, 2, 2, 1, 1, 0}));
    sheet->InsertRows(9, 1);  // on the summary row, right below the group: outside, not collapsed
    EXPECT_EQ(RowLevels(*sheet, 10), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 0, 0}));
    EXPECT_EQ(CollapsedRows(*sheet), std::vector<int>{10});
    EXPECT_EQ(sheet->RowHeight(9), 0) << "an inserted row takes the height of the row above, as before";

    sheet->DeleteRows(1, 6);  // the group's first row and the rows above it go
    EXPECT_EQ(RowLevels(*sheet, 5), (std::vector<int>{1, 1, 0, 0, 1}));
    EXPECT_EQ(CollapsedRows(*sheet), std::vector<int>{4});
}

TEST(SheetFeatures, ColumnsInsertedBeforeAGroupMoveIt) {
    auto app = MakeApp();
    auto sheet = app->NewWorkbook()->ModelSheet(1);
    ColumnRecord group{3, 5, 0, std::nullopt, 12, 1, false};
    sheet->LoadColumns(group);
    sheet->LoadColumns(ColumnRecord{6, 6, -1, std::nullopt, -1, 0, true});

    sheet->InsertColumns(1, 1);
    EXPECT_EQ(ColumnLevels(*sheet, 8), (std::vector<int>{0, 0, 0, 1, 1, 1, 0, 0}));
    auto columns = sheet->Columns();
    ASSERT_NE(ColumnOf(columns, 4), nullptr);
    EXPECT_EQ(ColumnOf(columns, 4)->width, 0);
    EXPECT_EQ(ColumnOf(columns, 6)->hiddenWidth, 12);
    ASSERT_NE(ColumnOf(columns, 7), nullptr);
    EXPECT_TRUE(ColumnOf(columns, 7)->collapsed);
    EXPECT_EQ(sheet->ColumnWidth(5), 0) << "a hidden column reads width 0, as before";

    sheet->InsertColumns(5, 2);  // inside the group: joins it
    EXPECT_EQ(ColumnLevels(*sheet, 10), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 1, 0, 0}));
    sheet->InsertColumns(9, 1);  // right after it, on the summary column: outside, not collapsed
    columns = sheet->Columns();
    EXPECT_EQ(ColumnLevels(*sheet, 10), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 1, 0, 0}));
    ASSERT_NE(ColumnOf(columns, 9), nullptr);
    EXPECT_FALSE(ColumnOf(columns, 9)->collapsed);
    ASSERT_NE(ColumnOf(columns, 10), nullptr);
    EXPECT_TRUE(ColumnOf(columns, 10)->collapsed);

    sheet->DeleteColumns(4, 3);
    EXPECT_EQ(ColumnLevels(*sheet, 7), (std::vector<int>{0, 0, 0, 1, 1, 0, 0}));
}

TEST(SheetFeatures, AHiddenRowKeepsItsHeightUntilItIsGivenAnother) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    sheet->RowHeight(2, 3, 22.5);
    sheet->RowHeight(2, 4, 0);
    sheet->RowHeight(2, 2, 0);  // hidden twice: the height before the first time stays
    EXPECT_EQ(sheet->RowHeight(2), 0);
    sheet->InsertRows(3, 1);  // between two hidden rows: hidden, with the height of the row above
    auto hidden = [](const model::ModelWorksheet& s) {
        std::vector<std::pair<int, double>> rows;
        s.ForEachRow([&](int row, const RowRecord& record) {
            if (record.height == 0) rows.emplace_back(row, record.hiddenHeight);
        });
        return rows;
    };
    const std::vector<std::pair<int, double>> expected{{2, 22.5}, {3, 22.5}, {4, 22.5}, {5, -1}};
    EXPECT_EQ(hidden(*sheet), expected);

    ScratchDir dir;
    std::string path = dir / "hidden.xlsx";
    SaveWorkbook(*book, path);
    Parts parts = ReadParts(path);
    EXPECT_NE(Part(parts, "xl/worksheets/sheet1.xml").find("<row r=\"2\" ht=\"22.5\" customHeight=\"1\" hidden=\"1\"/>"),
              std::string::npos);
    LoadReport report;
    auto loaded = LoadWorkbook(*app, path, &report)->ModelSheet(1);
    EXPECT_TRUE(report.empty()) << report.Describe();
    EXPECT_EQ(hidden(*loaded), expected);
    EXPECT_EQ(loaded->RowHeight(3), 0);

    loaded->RowHeight(3, 3, 12);  // shown with a height of its own: the kept one is gone
    loaded->RowHeight(3, 3, 0);
    EXPECT_EQ(hidden(*loaded)[1], (std::pair<int, double>{3, 12}));
}

TEST(SheetFeatures, AHiddenColumnKeepsItsWidthUntilItIsGivenAnother) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    sheet->ColumnWidth(2, 3, 20.71);
    sheet->ColumnWidth(2, 3, 0);
    sheet->ColumnWidth(2, 2, 0);  // hidden twice: the width before the first time stays
    sheet->ColumnWidth(5, 5, 0);  // a column of the standard width hidden
    EXPECT_EQ(sheet->ColumnWidth(2), 0);
    auto columns = sheet->Columns();
    ASSERT_NE(ColumnOf(columns, 2), nullptr);
    EXPECT_DOUBLE_EQ(ColumnOf(columns, 2)->hiddenWidth, 20.71);
    EXPECT_DOUBLE_EQ(ColumnOf(columns, 3)->hiddenWidth, 20.71);
    EXPECT_LT(ColumnOf(columns, 5)->hiddenWidth, 0);

    ScratchDir dir;
    std::string path = dir / "hidden.xlsx";
    SaveWorkbook(*book, path);
    Parts parts = ReadParts(path);
    const std::string& xml = Part(parts, "xl/worksheets/sheet1.xml");
    EXPECT_NE(xml.find("<col min=\"2\" max=\"3\" width=\"21.42578125\" customWidth=\"1\" hidden=\"1\"/>"), std::string::npos)
        << xml;
    LoadReport report;
    auto loaded = LoadWorkbook(*app, path, &report)->ModelSheet(1);
    EXPECT_TRUE(report.empty()) << report.Describe();
    EXPECT_EQ(loaded->ColumnWidth(3), 0);
    auto back = loaded->Columns();
    ASSERT_NE(ColumnOf(back, 3), nullptr);
    EXPECT_DOUBLE_EQ(ColumnOf(back, 3)->hiddenWidth, 20.71);
    ASSERT_NE(ColumnOf(back, 5), nullptr);
    EXPECT_LT(ColumnOf(back, 5)->hiddenWidth, 0);

    loaded->ColumnWidth(3, 3, 5);  // shown with a width of its own: the kept one is gone
    back = loaded->Columns();
    EXPECT_LT(ColumnOf(back, 3)->hiddenWidth, 0);
    EXPECT_DOUBLE_EQ(ColumnOf(back, 2)->hiddenWidth, 20.71);
}

TEST(SheetFeatures, DateFormatsCountFromTheWorkbooksDateSystem) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    auto sheet = book->ModelSheet(1);
    host::FormatPatch date;
    date.numberFormat = std::string("dd.mm.yyyy");
    sheet->Format(Area{1, 1, 3, 1}, date);
    sheet->SetLiteral(Area{1, 1, 1, 1}, 43904.0);
    sheet->SetLiteral(Area{2, 1, 2, 1}, 0.0);
    sheet->SetLiteral(Area{3, 1, 3, 1}, 1462.0);
    EXPECT_EQ(sheet->CellText(1, 1), "14.03.2020");
    EXPECT_EQ(sheet->CellText(3, 1), "01.01.1904");
    book->Date1904(true);
    EXPECT_EQ(sheet->CellText(1, 1), "15.03.2024");
    EXPECT_EQ(sheet->CellText(2, 1), "01.01.1904");
    EXPECT_EQ(sheet->CellText(3, 1), "02.01.1908");
    EXPECT_DOUBLE_EQ(std::get<double>(sheet->Content(1, 1).value), 43904) << "the serial number stays";
}

TEST(SheetFeatures, EveryFeatureGoesThroughSaveAndLoad) {
    auto app = MakeApp();
    auto book = app->NewWorkbook();
    book->Date1904(true);
    auto sheet = book->ModelSheet(1);
    sheet->SetLiteral(Area{1, 1, 1, 1}, 100.0);
    sheet->LoadRow(3, Level(1, 0));
    sheet->LoadRow(4, Level(2, 0));
    sheet->LoadRow(5, Level(0, -1, true));
    sheet->SetLiteral(Area{4, 2, 4, 2}, std::string("скрыто"));
    sheet->LoadColumns(ColumnRecord{2, 3, 0, std::nullopt, 30.71, 3, false});
    sheet->LoadColumns(ColumnRecord{4, 4, 10.71, std::nullopt, -1, 0, true});
    sheet->Outline() = model::SheetOutline{false, false, true, false};
    sheet->View().rightToLeft = true;
    sheet->Page().printGridlines = true;
    auto plain = std::static_pointer_cast<model::ModelWorksheet>(book->Add(nullptr, sheet.get()));
    plain->Page().printHeadings = true;

    ScratchDir dir;
    std::string path = dir / "features.xlsx";
    SaveWorkbook(*book, path);
    Parts parts = ReadParts(path);
    const std::string& xml = Part(parts, "xl/worksheets/sheet1.xml");
    EXPECT_NE(xml.find("outlineLevelRow=\"2\" outlineLevelCol=\"3\""), std::string::npos) << xml;

    LoadReport report;
    auto loaded = LoadWorkbook(*app, path, &report);
    EXPECT_TRUE(report.empty()) << report.Describe();
    ExpectSameWorkbook(*book, *loaded);
    EXPECT_TRUE(loaded->Date1904());
    auto back = loaded->ModelSheet(1);
    EXPECT_EQ(RowLevels(*back, 6), (std::vector<int>{0, 0, 1, 2, 0, 0}));
    EXPECT_EQ(CollapsedRows(*back), std::vector<int>{5});
    EXPECT_EQ(back->RowHeight(3), 0);
    auto columns = back->Columns();
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].first, 2);
    EXPECT_EQ(columns[0].last, 3);
    EXPECT_EQ(columns[0].width, 0);
    EXPECT_NEAR(columns[0].hiddenWidth, 30.71, 1e-9);
    EXPECT_EQ(columns[0].outlineLevel, 3);
    EXPECT_TRUE(columns[1].collapsed);
    EXPECT_NEAR(columns[1].width, 10.71, 1e-9);
    EXPECT_EQ(back->Outline(), (model::SheetOutline{false, false, true, false}));
    EXPECT_TRUE(back->View().rightToLeft);
    EXPECT_TRUE(back->Page().printGridlines);
    EXPECT_FALSE(back->Page().printHeadings);
    EXPECT_FALSE(loaded->ModelSheet(2)->View().rightToLeft);
    EXPECT_TRUE(loaded->ModelSheet(2)->Page().printHeadings);
    EXPECT_EQ(loaded->ModelSheet(2)->Outline(), model::SheetOutline{});

    // A workbook in the 1900 system says nothing of the date system.
    book->Date1904(false);
    SaveWorkbook(*book, path);
    parts = ReadParts(path);
    EXPECT_EQ(Part(parts, "xl/workbook.xml").find("date1904"), std::string::npos);
    EXPECT_FALSE(LoadWorkbook(*app, path)->Date1904());
}

// ---------------------------------------------------------------- in place, through the command

/// A workbook made by openpyxl with one sheet "Лист", written in place by the
/// command, and read back by openpyxl.
class InPlace : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    }

    /// Makes the workbook: `body` works on `wb` and its sheet `ws`.
    void Make(const std::string& body) {
        std::string output;
        ASSERT_EQ(RunPython(dir, "import sys, datetime, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n"
                                 "ws.title = 'Лист'\nws['A1'] = 'текст'\n" + body + "\nwb.save(sys.argv[1])\n",
                            output, book),
                  0)
            << output;
    }

    /// Loads the workbook into the model: nothing in it is reported.
    std::shared_ptr<model::ModelWorkbook> Load() {
        LoadReport report;
        auto loaded = LoadWorkbook(*app, book, &report);
        EXPECT_TRUE(report.empty()) << report.Describe();
        return loaded;
    }

    /// Runs the command on the workbook; it must succeed.
    void Ormelin(const std::string& arguments) {
        std::string out = dir / "ormelin.out";
        std::string command = std::string("'") + ORMELIN_BINARY_DIR + "/ormelin' " + arguments + " >'" + out + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(out);
    }

    /// A new document sheet added in place: every other sheet is written back as it was read.
    void AddDocument() { Ormelin("new '" + book + "' spa"); }

    /// Reads the workbook back with openpyxl: `body` calls check(what, got, want) on `wb` and `ws`.
    void Check(const std::string& body) {
        std::string output;
        std::string script = "import sys, datetime, openpyxl\nwb = openpyxl.load_workbook(sys.argv[1])\n"
                             "ws = wb['Лист']\nfailures = []\n"
                             "def check(what, got, want):\n"
                             "    if got != want:\n"
                             "        failures.append(f'{what}: {got!r} != {want!r}')\n" +
                             body + "\nprint('\\n'.join(failures) if failures else 'OK')\n";
        ASSERT_EQ(RunPython(dir, script, output, book), 0) << output;
        EXPECT_EQ(output, "OK\n");
    }

    ScratchDir dir;
    std::string book = dir / "book.xlsx";
    std::shared_ptr<model::ModelApplication> app = MakeApp();
};

TEST_F(InPlace, TheDateSystemOf1904KeepsEveryDate) {
    Make("wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904\n"
         "ws['A2'] = datetime.datetime(2024, 3, 15)\nws['A2'].number_format = 'dd.mm.yyyy'\n"
         "ws['A3'] = datetime.datetime(1904, 1, 2, 12, 0)\nws['A3'].number_format = 'dd.mm.yyyy hh:mm'\n");
    auto loaded = Load();
    EXPECT_TRUE(loaded->Date1904());
    auto sheet = loaded->ModelSheet(1);
    EXPECT_DOUBLE_EQ(std::get<double>(sheet->Content(2, 1).value), 43904);
    EXPECT_EQ(sheet->CellText(2, 1), "15.03.2024");
    EXPECT_EQ(sheet->CellText(3, 1), "02.01.1904 12:00");

    AddDocument();
    Check("check('date system', wb.epoch, openpyxl.utils.datetime.CALENDAR_MAC_1904)\n"
          "check('date', ws['A2'].value, datetime.datetime(2024, 3, 15))\n"
          "check('date and time', ws['A3'].value, datetime.datetime(1904, 1, 2, 12, 0))\n"
          "check('format', ws['A2'].number_format, 'dd.mm.yyyy')\n");
}

TEST_F(InPlace, OutlineGroupsOfRowsSurvive) {
    Make("ws.row_dimensions.group(3, 5, outline_level=1, hidden=True)\n"
         "ws.row_dimensions[6].collapsed = True\n"
         "ws.row_dimensions[4].height = 30\n"
         "ws.row_dimensions.group(8, 12, outline_level=1)\n"
         "ws.row_dimensions.group(9, 10, outline_level=2)\n"
         "ws['B4'] = 'в свёрнутой группе'\n"
         "ws.sheet_properties.outlinePr.summaryBelow = False\n");
    auto sheet = Load()->ModelSheet(1);
    EXPECT_EQ(RowLevels(*sheet, 13), (std::vector<int>{0, 0, 1, 1, 1, 0, 0, 1, 2, 2, 1, 1, 0}));
    EXPECT_EQ(CollapsedRows(*sheet), std::vector<int>{6});
    EXPECT_FALSE(sheet->Outline().summaryBelow);

    AddDocument();
    Check("levels = {3: 1, 4: 1, 5: 1, 8: 1, 9: 2, 10: 2, 11: 1, 12: 1}\n"
          "for r in range(1, 15):\n"
          "    d = ws.row_dimensions[r]\n"
          "    check(f'row {r} level', d.outline_level, levels.get(r, 0))\n"
          "    check(f'row {r} hidden', bool(d.hidden), r in (3, 4, 5))\n"
          "    check(f'row {r} collapsed', bool(d.collapsed), r == 6)\n"
          "check('hidden text', ws['B4'].value, 'в свёрнутой группе')\n"
          "check('hidden row heights', [ws.row_dimensions[r].height for r in (3, 4, 5)], [None, 30, None])\n"
          "check('summary below', ws.sheet_properties.outlinePr.summaryBelow, False)\n"
          "check('summary right', ws.sheet_properties.outlinePr.summaryRight in (None, True), True)\n"
          "check('deepest row level', ws.sheet_format.outlineLevelRow, 2)\n");
}

TEST_F(InPlace, OutlineGroupsOfColumnsAndHiddenColumnsWidthsSurvive) {
    // Widths on the pixel grid of the file's default font come back exactly.
    Make("ws.column_dimensions.group('B', 'D', outline_level=1, hidden=True)\n"
         "ws.column_dimensions['B'].width = 12.7109375\n"
         "ws.column_dimensions['E'].collapsed = True\n"
         "ws.column_dimensions['E'].width = 9.140625\n"
         "ws.column_dimensions['H'].width = 20.7109375\n"
         "ws.column_dimensions['H'].hidden = True\n"
         "ws.sheet_properties.outlinePr.summaryRight = False\n");
    auto sheet = Load()->ModelSheet(1);
    EXPECT_EQ(ColumnLevels(*sheet, 9), (std::vector<int>{0, 1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sheet->ColumnWidth(3), 0);
    EXPECT_EQ(sheet->ColumnWidth(8), 0);
    auto columns = sheet->Columns();
    ASSERT_NE(ColumnOf(columns, 8), nullptr);
    EXPECT_NEAR(ColumnOf(columns, 8)->hiddenWidth, 20, 1e-9);

    AddDocument();
    Check("b = ws.column_dimensions['B']\n"
          "check('group', (b.min, b.max, b.outline_level, bool(b.hidden), b.width), (2, 4, 1, True, 12.7109375))\n"
          "e = ws.column_dimensions['E']\n"
          "check('summary column', (e.min, e.max, bool(e.collapsed), e.outline_level, bool(e.hidden)), (5, 5, True, 0, False))\n"
          "h = ws.column_dimensions['H']\n"
          "check('hidden column', (h.min, h.max, bool(h.hidden), h.width, h.outline_level), (8, 8, True, 20.7109375, 0))\n"
          "check('summary right', ws.sheet_properties.outlinePr.summaryRight, False)\n"
          "check('deepest column level', ws.sheet_format.outlineLevelCol, 1)\n");
}

// Widths off the pixel grid, as LibreOffice and openpyxl write them, come back to
// the last digit; a width the model changes is written from the model's width.
TEST_F(InPlace, ColumnWidthsOffThePixelGridComeBackExactly) {
    Make("for letter, width in zip('ABCDEF', (10.08203125, 10.08, 8.43, 4.43, 0.9, 2.0)):\n"
         "    ws.column_dimensions[letter].width = width\n"
         "ws.column_dimensions['G'].width = 33.3\nws.column_dimensions['G'].hidden = True\n"
         "wb.create_sheet('Другой').column_dimensions['B'].width = 10.08\n");
    auto loaded = Load();
    auto sheet = loaded->ModelSheet(1);
    EXPECT_DOUBLE_EQ(sheet->ColumnWidth(1), 9.43);  // what the column shows, in characters
    EXPECT_DOUBLE_EQ(sheet->ColumnWidth(3), 7.71);
    loaded->ModelSheet(2)->ColumnWidth(2, 2, 12);
    SaveWorkbook(*loaded, book);

    AddDocument();
    Check("widths = [ws.column_dimensions[c].width for c in 'ABCDEF']\n"
          "check('widths', widths, [10.08203125, 10.08, 8.43, 4.43, 0.9, 2.0])\n"
          "g = ws.column_dimensions['G']\n"
          "check('hidden column', (bool(g.hidden), g.width), (True, 33.3))\n"
          "check('changed width', wb['Другой'].column_dimensions['B'].width, 12.7109375)\n");
}

// A workbook's own theme stays with it, and colours named by the theme's numbers
// keep the colour that theme gives them: here accent 1 is the newer office blue,
// not the older one the default theme has.
TEST_F(InPlace, TheWorkbooksThemeAndItsColoursStay) {
    Make("from openpyxl.styles import Font, PatternFill\n"
         "from openpyxl.styles.colors import Color\n"
         "ws['B2'] = 'акцент'\nws['B2'].font = Font(color=Color(theme=4))\n"
         "ws['B3'].fill = PatternFill('solid', fgColor=Color(theme=5))\n"
         "ws['B4'] = 'оттенок'\nws['B4'].font = Font(color=Color(theme=4, tint=0.5))\n");
    std::string output;
    ASSERT_EQ(RunPython(dir, "import sys, zipfile, re\n"
                             "src = zipfile.ZipFile(sys.argv[1])\n"
                             "parts = {n: src.read(n) for n in src.namelist()}\nsrc.close()\n"
                             "t = parts['xl/theme/theme1.xml'].decode()\n"
                             "t = re.sub(r'(<a:accent1>\\s*<a:srgbClr val=\")[0-9A-F]{6}', r'\\g<1>5B9BD5', t)\n"
                             "t = re.sub(r'(<a:accent2>\\s*<a:srgbClr val=\")[0-9A-F]{6}', r'\\g<1>ED7D31', t)\n"
                             "parts['xl/theme/theme1.xml'] = t.encode()\n"
                             "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as out:\n"
                             "    for n, b in parts.items(): out.writestr(n, b)\n",
                        output, book),
              0)
        << output;
    auto loaded = Load();
    auto sheet = loaded->ModelSheet(1);
    EXPECT_EQ(loaded->Styles().Get(sheet->OwnStyle(2, 2).value_or(0)).font.color, host::Color::Rgb(0x5B9BD5));
    EXPECT_FALSE(loaded->Theme().empty());

    AddDocument();
    Check("import zipfile, re\n"
          "z = zipfile.ZipFile(sys.argv[1])\n"
          "theme = z.read('xl/theme/theme1.xml').decode()\n"
          "check('theme kept', bool(re.search(r'<a:accent1>\\s*<a:srgbClr val=\"5B9BD5\"', theme)), True)\n"
          "check('accent 1 text', ws['B2'].font.color.rgb[-6:], '5B9BD5')\n"
          "check('accent 2 fill', ws['B3'].fill.fgColor.rgb[-6:], 'ED7D31')\n"
          "c = ws['B4'].font.color\n"
          "check('tinted', (c.theme, c.tint), (4, 0.5))\n");
}

TEST_F(InPlace, RightToLeftSheetsStayRightToLeft) {
    Make("ws.sheet_view.rightToLeft = True\nwb.create_sheet('Слева')\n");
    auto loaded = Load();
    EXPECT_TRUE(loaded->ModelSheet(1)->View().rightToLeft);
    EXPECT_FALSE(loaded->ModelSheet(2)->View().rightToLeft);

    AddDocument();
    Check("check('right to left', ws.sheet_view.rightToLeft, True)\n"
          "check('left to right', bool(wb['Слева'].sheet_view.rightToLeft), False)\n");
}

TEST_F(InPlace, PrintedGridlinesAndHeadingsStayPrinted) {
    Make("ws.print_options.gridLines = True\nws.print_options.horizontalCentered = True\n"
         "wb.create_sheet('Заголовки').print_options.headings = True\n");
    auto loaded = Load();
    EXPECT_TRUE(loaded->ModelSheet(1)->Page().printGridlines);
    EXPECT_FALSE(loaded->ModelSheet(1)->Page().printHeadings);
    EXPECT_TRUE(loaded->ModelSheet(2)->Page().printHeadings);

    AddDocument();
    Check("p = ws.print_options\n"
          "check('sheet', (bool(p.gridLines), bool(p.headings), bool(p.horizontalCentered)), (True, False, True))\n"
          "q = wb['Заголовки'].print_options\n"
          "check('other sheet', (bool(q.gridLines), bool(q.headings)), (False, True))\n");
}

TEST_F(InPlace, AListRowInsertedAboveAGroupMovesIt) {
    Make("");
    Ormelin("blank '" + book + "' Лист spa");
    // The user groups rows of the list (openpyxl saves the workbook again).
    std::string output;
    ASSERT_EQ(RunPython(dir, "import sys, openpyxl\nwb = openpyxl.load_workbook(sys.argv[1])\nws = wb['Лист']\n"
                             "ws.row_dimensions.group(6, 8, outline_level=1, hidden=True)\n"
                             "ws.row_dimensions[9].collapsed = True\nwb.save(sys.argv[1])\n",
                        output, book),
              0)
        << output;
    Load();
    Ormelin("insert-row '" + book + "' Лист 4");
    Check("for r in range(1, 12):\n"
          "    d = ws.row_dimensions[r]\n"
          "    check(f'row {r}', (d.outline_level, bool(d.hidden), bool(d.collapsed)),"
          " (1, True, False) if r in (7, 8, 9) else (0, False, r == 10))\n");
}

TEST_F(InPlace, OutlineGroupsThatLibreOfficeWroteSurvive) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "soffice is not installed";
    // A flat ODS file with a collapsed group of rows 2..4, a group of rows 6..9
    // holding one of rows 7..8, and a group of columns B..C; no header or footer.
    WriteFile(dir / "groups.fods", R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:master-styles><style:master-page style:name="Default"><style:header style:display="false"/>
<style:footer style:display="false"/></style:master-page></office:master-styles>
<office:body><office:spreadsheet><table:table table:name="Лист">
<table:table-column/>
<table:table-column-group><table:table-column table:number-columns-repeated="2"/></table:table-column-group>
<table:table-column/>
<table:table-row><table:table-cell office:value-type="string"><text:p>заголовок</text:p></table:table-cell></table:table-row>
<table:table-row-group table:display="false">
<table:table-row table:visibility="collapse" table:number-rows-repeated="3"><table:table-cell office:value-type="float" office:value="1"/></table:table-row>
</table:table-row-group>
<table:table-row><table:table-cell office:value-type="string"><text:p>итог</text:p></table:table-cell></table:table-row>
<table:table-row-group>
<table:table-row><table:table-cell office:value-type="float" office:value="2"/></table:table-row>
<table:table-row-group>
<table:table-row table:number-rows-repeated="2"><table:table-cell office:value-type="float" office:value="3"/></table:table-row>
</table:table-row-group>
<table:table-row><table:table-cell office:value-type="float" office:value="4"/></table:table-row>
</table:table-row-group>
<table:table-row><table:table-cell office:value-type="string"><text:p>конец</text:p></table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
)");
    std::string command = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                          "' timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                          "/profile --headless --convert-to xlsx groups.fods >soffice.log 2>&1 && mv groups.xlsx book.xlsx";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "soffice.log");
    auto sheet = Load()->ModelSheet(1);
    EXPECT_EQ(RowLevels(*sheet, 10), (std::vector<int>{0, 1, 1, 1, 0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(ColumnLevels(*sheet, 4), (std::vector<int>{0, 1, 1, 0}));

    AddDocument();
    Check("levels = {2: 1, 3: 1, 4: 1, 6: 1, 7: 2, 8: 2, 9: 1}\n"
          "for r in range(1, 12):\n"
          "    d = ws.row_dimensions[r]\n"
          "    check(f'row {r}', (d.outline_level, bool(d.hidden)), (levels.get(r, 0), r in (2, 3, 4)))\n"
          "check('values', [ws.cell(r, 1).value for r in range(1, 11)], ['заголовок', 1, 1, 1, 'итог', 2, 3, 3, 4, 'конец'])\n"
          "b = ws.column_dimensions['B']\n"
          "check('column group', (b.min, b.max, b.outline_level, bool(b.hidden)), (2, 3, 1, False))\n"
          "check('deepest levels', (ws.sheet_format.outlineLevelRow, ws.sheet_format.outlineLevelCol), (2, 1))\n");
}

}  // namespace
}  // namespace ormelin::xlsx::testing
