// The sample workbook of `ormelin demo`: one document of every kind the library
// can draw, filled with the rows an engineer would enter, with register attributes,
// formed into printable sheets where forming is available.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli/app.hpp"
#include "cli/console_ui.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

using Row = std::vector<std::string>;

// Specification of a power supply unit: format, zone, position, designation, name, quantity, remark.
std::vector<Row> SpecificationRows() {
    std::vector<Row> rows = {
        {"", "", "", "", "Документация", "", ""},
        {"", "", "", "", "", "", ""},
        {"А3", "", "", "АБВГ.436234.001 СБ", "Сборочный чертеж", "", ""},
        {"А4", "", "", "АБВГ.436234.001 Э3", "Схема электрическая", "", ""},
        {"", "", "", "", "принципиальная", "", ""},
        {"А4", "", "", "АБВГ.436234.001 ПЭ3", "Перечень элементов", "", ""},
        {"", "", "", "", "", "", ""},
        {"", "", "", "", "Сборочные единицы", "", ""},
        {"", "", "", "", "", "", ""},
        {"А3", "", "1", "АБВГ.687281.010", "Плата печатная", "1", ""},
        {"А4", "", "2", "АБВГ.685621.003", "Жгут", "1", ""},
        {"А4", "", "3", "АБВГ.305311.002", "Радиатор", "2", ""},
        {"", "", "", "", "", "", ""},
        {"", "", "", "", "Детали", "", ""},
        {"", "", "", "", "", "", ""},
    };
    const char* parts[][2] = {
        {"АБВГ.301261.001", "Корпус"},          {"АБВГ.301561.002", "Крышка"},
        {"АБВГ.741124.003", "Кронштейн"},       {"АБВГ.713144.004", "Втулка"},
        {"АБВГ.711141.005", "Шайба изоляционная"}, {"АБВГ.754152.006", "Панель передняя"},
        {"АБВГ.754152.007", "Панель задняя"},   {"АБВГ.745422.008", "Прокладка"},
        {"АБВГ.723144.009", "Стойка"},          {"АБВГ.741324.010", "Скоба"},
    };
    int pos = 10;
    for (const auto& p : parts) {
        rows.push_back({"А4", "", std::to_string(pos++), p[0], p[1], "1", ""});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Стандартные изделия", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    const char* standard[][3] = {
        {"Винт М3-6gx8.48.016", "ГОСТ 17473-80", "12"},  {"Винт М4-6gx10.48.016", "ГОСТ 17473-80", "8"},
        {"Гайка М3-6Н.5.016", "ГОСТ 5927-70", "12"},     {"Гайка М4-6Н.5.016", "ГОСТ 5927-70", "8"},
        {"Шайба 3.01.016", "ГОСТ 11371-78", "24"},       {"Шайба 4.01.016", "ГОСТ 11371-78", "16"},
        {"Шайба 3 65Г 016", "ГОСТ 6402-70", "12"},       {"Шайба 4 65Г 016", "ГОСТ 6402-70", "8"},
    };
    pos = 30;
    for (const auto& s : standard) {
        rows.push_back({"", "", std::to_string(pos++), "", s[0], s[2], ""});
        rows.push_back({"", "", "", "", s[1], "", ""});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Прочие изделия", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    const char* other[][3] = {
        {"Вилка DB-9M", "", "1"},                   {"Розетка DB-9F", "", "1"},
        {"Держатель предохранителя", "FH-01", "1"}, {"Предохранитель 2 А", "ВП1-1", "2"},
        {"Выключатель", "ПКн-41", "1"},             {"Клеммник", "DG-301", "2"},
        {"Индикатор светодиодный", "L-53GD", "1"},  {"Ножка резиновая", "", "4"},
    };
    pos = 40;
    for (const auto& o : other) {
        rows.push_back({"", "", std::to_string(pos++), "", o[0], o[2], o[1]});
    }
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "", "", "Материалы", "", ""});
    rows.push_back({"", "", "", "", "", "", ""});
    rows.push_back({"", "", "50", "", "Припой ПОС 61 ГОСТ 21931-76", "0,05", "кг"});
    rows.push_back({"", "", "51", "", "Флюс ФКСп ОСТ 4ГО.033.200", "0,01", "кг"});
    return rows;
}

// List of elements: zone, reference designator, name, quantity, remark.
std::vector<Row> ElementRows() {
    std::vector<Row> rows;
    rows.push_back({"", "", "Конденсаторы", "", ""});
    rows.push_back({"", "C1, C2", "К50-35-25 В-1000 мкФ±20%", "2", ""});
    rows.push_back({"", "C3...C6", "К10-17б-Н90-0,1 мкФ", "4", ""});
    rows.push_back({"", "C7", "К73-17-63 В-0,47 мкФ±10%", "1", ""});
    rows.push_back({"", "", "", "", ""});
    rows.push_back({"", "DA1", "Микросхема LM7805CT", "1", ""});
    rows.push_back({"", "DA2", "Микросхема LM317T", "1", ""});
    rows.push_back({"", "", "", "", ""});
    rows.push_back({"", "FU1", "Вставка плавкая ВП1-1 2 А", "1", ""});
    rows.push_back({"", "HL1", "Индикатор L-53GD", "1", ""});
    rows.push_back({"", "", "", "", ""});
    rows.push_back({"", "", "Резисторы", "", ""});
    const char* res[][3] = {{"R1", "С2-33Н-0,25-1 кОм±5%", "1"}, {"R2", "С2-33Н-0,25-240 Ом±5%", "1"},
                            {"R3, R4", "С2-33Н-0,5-10 кОм±5%", "2"}, {"R5", "СП3-19а-0,5-4,7 кОм", "1"}};
    for (const auto& r : res) rows.push_back({"", r[0], r[1], r[2], ""});
    rows.push_back({"", "", "", "", ""});
    rows.push_back({"", "VD1...VD4", "Диод 1N4007", "4", ""});
    rows.push_back({"", "XP1", "Вилка DB-9M", "1", ""});
    rows.push_back({"", "XS1", "Розетка DB-9F", "1", "Поставляется"});
    rows.push_back({"", "", "", "", "по заказу"});
    return rows;
}

// List of documents on data media: (line number), designation, name, remark.
std::vector<Row> MediaRows() {
    return {
        {"", "АБВГ.436234.001 СБ.pdf, 1 254 301,", "Сборочный чертеж", ""},
        {"", "CRC32 5A1F03C2", "", ""},
        {"", "АБВГ.436234.001 Э3.pdf, 318 552,", "Схема электрическая", ""},
        {"", "CRC32 91BC44E0", "принципиальная", ""},
        {"", "АБВГ.436234.001 ПЭ3.xlsx, 24 107,", "Перечень элементов", ""},
        {"", "CRC32 0D7E2B19", "", ""},
        {"", "АБВГ.687281.010.zip, 2 048 775,", "Плата печатная.", "Файлы"},
        {"", "CRC32 77E0A4D3", "Файлы изготовления", "Gerber"},
    };
}

// List of operational documents: designation, name, copies, copy number, location.
// The layout pre-fills the list's own entry in rows 3 to 6.
std::vector<Row> OperationalRows() {
    return {
        {"АБВГ.436234.001 РЭ", "Руководство по", "1", "", "Упаковка"},
        {"", "эксплуатации", "", "", ""},
        {"АБВГ.436234.001 ФО", "Формуляр", "1", "", "Упаковка"},
        {"АБВГ.436234.001 ЗИ", "Ведомость ЗИП", "1", "", "Упаковка"},
    };
}

// List of purchased products: (line number), name, product code, supply document,
// supplier, where used, quantity per product, in kits, for adjustment, total, remark.
std::vector<Row> PurchasedRows() {
    std::vector<Row> rows;
    auto group = [&](const char* title) {
        if (!rows.empty()) rows.push_back(Row(11));
        rows.push_back({"", title, "", "", "", "", "", "", "", "", ""});
    };
    struct Item {
        const char *name, *code, *document, *supplier;
        int count;
    };
    const char* const boards[] = {"АБВГ.687281.010", "АБВГ.685621.003"};
    auto items = [&](const std::vector<Item>& list) {
        int i = 0;
        for (const Item& it : list) {
            const std::string n = std::to_string(it.count);
            rows.push_back({"", it.name, it.code, it.document, it.supplier, boards[i++ % 2], n, "", "", n, ""});
        }
    };
    group("Конденсаторы");
    items({{"К50-35-25 В-1000 мкФ±20%", "", "ОЖ0.464.214 ТУ", "АО \"Элеко\"", 2},
           {"К10-17б-Н90-0,1 мкФ", "", "ОЖ0.460.107 ТУ", "АО \"Элеко\"", 4},
           {"К73-17-63 В-0,47 мкФ±10%", "", "ОЖ0.461.104 ТУ", "АО \"Элеко\"", 1},
           {"К10-17б-М47-100 пФ", "", "ОЖ0.460.107 ТУ", "АО \"Элеко\"", 2},
           {"К53-68-16 В-22 мкФ", "", "АЖЯР.673546.003 ТУ", "АО \"Элеко\"", 2}});
    group("Микросхемы");
    items({{"LM7805CT", "", "", "Texas Instruments", 1},
           {"LM317T", "", "", "Texas Instruments", 1},
           {"К561ЛА7", "", "бК0.348.457 ТУ", "АО \"Ангстрем\"", 2},
           {"К561ТМ2", "", "бК0.348.457 ТУ", "АО \"Ангстрем\"", 1},
           {"КР142ЕН5А", "", "бК0.347.098 ТУ", "АО \"Ангстрем\"", 1}});
    group("Резисторы");
    const char* const values[] = {"1 кОм", "240 Ом", "10 кОм", "4,7 кОм", "100 Ом", "2,2 кОм", "47 кОм",
                                  "330 Ом", "15 кОм", "68 кОм", "1,5 кОм", "510 Ом", "3,3 кОм", "6,8 кОм",
                                  "22 кОм", "100 кОм", "150 Ом", "820 Ом", "2,7 кОм", "5,6 кОм", "12 кОм",
                                  "33 кОм", "470 Ом", "1 МОм", "39 кОм"};
    int k = 0;
    for (const char* v : values) {
        const std::string name = std::string("С2-33Н-0,25-") + v + "±5%";
        const std::string n = std::to_string(1 + k++ % 3);
        rows.push_back({"", name, "", "ОЖ0.467.093 ТУ", "АО \"Резистор\"", boards[k % 2], n, "", "", n, ""});
    }
    group("Диоды и индикаторы");
    items({{"Диод 1N4007", "", "", "Vishay", 4},
           {"Диод КД522Б", "", "дР3.362.029 ТУ", "АО \"Диод\"", 2},
           {"Индикатор L-53GD", "", "", "Kingbright", 1},
           {"Стабилитрон КС156А", "", "СМ3.362.812 ТУ", "АО \"Диод\"", 1}});
    group("Соединители");
    items({{"Вилка DB-9M", "", "", "Connfly", 1},
           {"Розетка DB-9F", "", "", "Connfly", 1},
           {"Клеммник DG-301", "", "", "Degson", 2},
           {"Держатель предохранителя FH-01", "", "", "Connfly", 1},
           {"Вставка плавкая ВП1-1 2 А", "", "ОЮ0.480.003 ТУ", "АО \"Прибор\"", 2},
           {"Выключатель ПКн-41", "", "ОЮ0.360.012 ТУ", "АО \"Прибор\"", 1}});
    group("Прочие изделия");
    items({{"Ножка резиновая", "", "", "ООО \"Полимер\"", 4},
           {"Радиатор HS-115", "", "", "ООО \"Теплообмен\"", 2},
           {"Провод МГТФ 0,12", "", "ТУ 16-505.185-71", "АО \"Кабель\"", 1},
           {"Трубка ТУТ 3/1,5", "", "ТУ 2247-001-59775120-2010", "ООО \"Полимер\"", 1}});
    // the supply quantities of the last rows are for adjustment as well
    rows.back()[8] = "1";
    rows.back()[10] = "по месту";
    return rows;
}

void FillRows(host::Worksheet& ws, int firstRow, int firstColumn, const std::vector<Row>& rows) {
    int r = firstRow;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!row[i].empty()) {
                ws.SetLiteral(host::Area{r, firstColumn + static_cast<int>(i), r, firstColumn + static_cast<int>(i)},
                              host::Value(row[i]));
            }
        }
        ++r;
    }
}

void SetAttributes(AttrDoc& doc, const std::string& designation, const std::string& name) {
    doc.LetText("aOboz", designation);
    doc.LetText("aNaim1", "Блок питания");
    doc.LetText("aNaim2", name);
    doc.LetText("aPerv", "АБВГ.436234.001");
    doc.LetText("aDesi", "Иванов");
    doc.LetText("aChec", "Петров");
    doc.LetText("aNcon", "Сидорова");
    doc.LetText("aAppr", "Смирнов");
    doc.LetText("aDesd", "12.10.26");
    doc.LetText("aChed", "14.10.26");
    doc.LetText("aLite", "О1");
    doc.LetText("aFirm1", "АО \"Ормелин\"");
}

struct DemoDocument {
    ksStateOfDocument kind;
    const char* sheet;
    const char* designation;
    const char* name;
    int firstRow;
    std::vector<Row> rows;
    bool form;
};

}  // namespace

std::string WriteDemo(const std::string& dir, std::ostream& err) {
    fs::create_directories(dir);
    fs::path path = fs::absolute(fs::path(dir) / "ormelin-demo.xlsx");

    auto ui = std::make_shared<ConsoleUi>(err, true);
    auto app = std::make_shared<model::ModelApplication>(ui);
    xlsx::InstallSaver(*app);
    auto book = app->NewWorkbook();
    book->SaveAs(path.string());
    Kalvora service(*app);

    std::vector<DemoDocument> docs;
    docs.push_back({ksSPA_OT, "АБВГ.436234.001", "АБВГ.436234.001", "", 2, SpecificationRows(), true});
    docs.push_back({ksPE_OT_1, "АБВГ.436234.001 ПЭ3", "АБВГ.436234.001 ПЭ3", "", 2,
                    ElementRows(), true});
    docs.push_back({ksVN_OT, "АБВГ.436234.001 ВН", "АБВГ.436234.001 ВН", "", 2, MediaRows(), true});
    docs.push_back({ksVE_OT, "АБВГ.436234.001 ЭД", "АБВГ.436234.001 ЭД", "", 7, OperationalRows(), true});
    docs.push_back({ksVPA_OT, "АБВГ.436234.001 ВП", "АБВГ.436234.001 ВП", "", 3, PurchasedRows(), true});

    for (auto& d : docs) {
        auto first = book->Sheet(1);
        if (!service.DocumentIsNew(first)) throw Error(ErrorCode::ApplicationDefined, "no new document sheet");
        auto ws = book->Sheet("Новый");
        ws->Name(d.sheet);
        service.DocumentBlank(ws, d.kind);
        FillRows(*ws, d.firstRow, 1, d.rows);
        auto doc = std::make_shared<AttrDoc>();
        SetAttributes(*doc, d.designation, d.name);
        service.AttribsToSPIS(doc, ws);
        if (d.form) {
            try {
                service.Forming(ws, true, true);
            } catch (const Error& e) {
                if (e.code() != ErrorCode::NotImplemented) throw;
            }
        }
    }
    book->Save();
    return path.string();
}

}  // namespace ormelin::cli
