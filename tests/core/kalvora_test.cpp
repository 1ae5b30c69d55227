// The service object: state codes, the dispatch surface and the call frame.
#include <gtest/gtest.h>

#include <set>

#include "core/kalvora_fixture.hpp"

namespace ormelin {
namespace {

using testing_support::KalvoraTest;

// ------------------------------------------------------------------ state codes

TEST(StateCodes, KindsAndStates) {
    EXPECT_EQ(KindOf(ksPE_OT_2), DocKind::PE);
    EXPECT_EQ(KindOf(ksTB_OF_old), DocKind::TB);
    EXPECT_EQ(KindOf(ксСПБ_ОФ_old), DocKind::SPB);
    EXPECT_EQ(KindOf(ксВЭ_ОФ_old2), DocKind::VE);
    EXPECT_EQ(KindOf(ksDOC_NO), DocKind::None);
    EXPECT_EQ(KindOf(22), DocKind::None);
    EXPECT_EQ(KindOf(-1), DocKind::None);
    int lists = 0, formed = 0;
    for (std::int32_t s = 0; s <= 21; ++s) {
        EXPECT_FALSE(IsListState(s) && IsFormedState(s)) << s;
        lists += IsListState(s);
        formed += IsFormedState(s);
    }
    EXPECT_EQ(lists, 9);
    EXPECT_EQ(formed, 12);
    EXPECT_FALSE(IsFormedState(ksDOC_NO));
    EXPECT_FALSE(IsFormedState(22));
    EXPECT_EQ(FirstDataRow(KindOf(ksSPB_OF)), 5);
    EXPECT_EQ(FirstDataRow(KindOf(ksVPA_OF)), 3);
    EXPECT_EQ(FirstDataRow(KindOf(ksVE_OF)), 2);
    EXPECT_EQ(KindCode(KindOf(ksVEO_OT)), "VEO");
}

// ------------------------------------------------------------------ dispatch surface

struct Slot {
    DispId id;
    const char* name;
    std::size_t params;
};

// The interface slots of the automation surface, in order.
const Slot kSlots[] = {
    {0x60030001, "SPA_Blank", 1},          {0x60030002, "SPB_Blank", 1},
    {0x60030003, "PE_Blank", 1},           {0x60030004, "VE_Blank", 1},
    {0x60030005, "VN_Blank", 1},           {0x60030006, "VPA_Blank", 1},
    {0x60030007, "DocumentBlank", 2},      {0x60030009, "SPB_ColumnsWidthAndHead", 1},
    {0x6003000A, "VPA_ColumnsWidthAndHead", 1}, {0x6003000B, "PE_ColumnsWidthAndHead", 1},
    {0x6003000C, "VN_ColumnsWidthAndHead", 1},  {0x6003000D, "VE_ColumnsWidthAndHead", 1},
    {0x6003000E, "Otkat", 1},              {0x6003000F, "Forming", 3},
    {0x60030010, "FormingA", 4},           {0x60030014, "TitleNext", 3},
    {0x60030015, "FormingSPB", 3},         {0x60030016, "FormingVPA", 3},
    {0x6003001B, "FindSPIS", 1},           {0x6003001C, "StateOfDocument", 1},
    {0x6003001D, "DocumIsForm", 2},        {0x6003001F, "CellSpis", 1},
    {0x60030020, "AttribsToSPIS", 2},      {0x60030021, "AttribsFromSPIS", 2},
    {0x60030022, "AttribsRefFromSPIS", 1}, {0x60030025, "RowInsert", 3},
    {0x60030028, "DocumentIsNew", 1},      {0x60030029, "DocumentIsDelete", 1},
};

TEST(DispatchSurface, SlotsIdentifiersAndNamesInOrder) {
    const auto& methods = Kalvora::Methods();
    ASSERT_EQ(methods.size(), std::size(kSlots));
    for (std::size_t i = 0; i < methods.size(); ++i) {
        EXPECT_EQ(methods[i].id, kSlots[i].id) << kSlots[i].name;
        EXPECT_STREQ(methods[i].name, kSlots[i].name);
        EXPECT_EQ(methods[i].params.size(), kSlots[i].params) << kSlots[i].name;
        EXPECT_EQ(Kalvora::IdOfName(kSlots[i].name), kSlots[i].id);
    }
    EXPECT_EQ(Kalvora::IdOfName("spa_blank"), 0x60030001);
    EXPECT_EQ(Kalvora::IdOfName("STATEOFDOCUMENT"), 0x6003001C);
    EXPECT_FALSE(Kalvora::IdOfName("SPA_ColumnsWidthAndHead").has_value());  // private
    EXPECT_FALSE(Kalvora::IdOfName("RowDelete").has_value());
}

TEST(DispatchSurface, ParameterPassing) {
    auto find = [](const char* name) -> const MethodSpec& {
        for (const auto& m : Kalvora::Methods())
            if (std::string(m.name) == name) return m;
        throw std::runtime_error(name);
    };
    const auto& doc = find("DocumIsForm");
    EXPECT_EQ(doc.params[0].passing, Passing::ByValue);
    EXPECT_EQ(doc.params[1].passing, Passing::ByReference);
    EXPECT_TRUE(doc.params[1].optional);
    EXPECT_EQ(doc.result, ParamType::Int32);
    const auto& spb = find("FormingSPB");
    EXPECT_EQ(spb.params[1].passing, Passing::ByReference);
    EXPECT_EQ(spb.params[2].passing, Passing::ByReference);
    const auto& forming = find("Forming");
    EXPECT_EQ(forming.params[1].passing, Passing::ByValue);
    EXPECT_EQ(forming.result, ParamType::Boolean);
    const auto& row = find("RowInsert");
    EXPECT_EQ(row.params[1].type, ParamType::Int16);
    EXPECT_TRUE(row.params[2].optional);
    EXPECT_FALSE(row.params[0].optional);
    EXPECT_TRUE(find("StateOfDocument").params[0].optional);
    EXPECT_TRUE(find("AttribsToSPIS").params[1].optional);
    EXPECT_FALSE(find("AttribsToSPIS").params[0].optional);
}

class Dispatch : public KalvoraTest {};

TEST_F(Dispatch, ByIdAndByNameReachTheSameMethod) {
    std::vector<Variant> args{ws};
    ASSERT_TRUE(k->Invoke(0x60030001, args).ok());
    EXPECT_EQ(k->StateOfDocument(ws), ksSPA_OT);
    auto other = book->Add(nullptr, nullptr);
    std::vector<Variant> named{other, std::int32_t{ksVE_OT}};
    ASSERT_TRUE(k->InvokeByName("documentblank", named).ok());
    EXPECT_EQ(k->StateOfDocument(other), ksVE_OT);
    std::vector<Variant> byValue{other, 10.0};
    ASSERT_TRUE(k->Invoke(0x60030007, byValue).ok());
    EXPECT_EQ(k->StateOfDocument(other), ksVN_OT);
}

// A double for a whole-number parameter is rounded to the nearest whole number,
// a half to the even one, as automation converts it: neither cut off nor rounded
// half away from zero.
TEST_F(Dispatch, DoubleArgumentsRoundToTheNearestAndHalvesToEven) {
    for (double kind : {9.5, 9.6, 10.4, 10.5, 13.5, 14.5}) {
        auto sheet = book->Add(nullptr, nullptr);
        std::vector<Variant> args{sheet, kind};
        ASSERT_TRUE(k->Invoke(0x60030007, args).ok()) << kind;
        EXPECT_EQ(k->StateOfDocument(sheet), kind < 12 ? ksVN_OT : ksVE_OT) << kind;
    }
    // 32767.5 is 32768, beyond a 16-bit row number.
    std::vector<Variant> blank{ws, std::int32_t{ksSPA_OT}};
    ASSERT_TRUE(k->InvokeByName("DocumentBlank", blank).ok());
    std::vector<Variant> over{ws, 32767.5};
    EXPECT_EQ(k->InvokeByName("RowInsert", over).number, static_cast<long>(ErrorCode::Overflow));
}

TEST_F(Dispatch, StateOfDocumentHandsTheCurrentWorksheetBack) {
    std::vector<Variant> blank{ws};
    ASSERT_TRUE(k->InvokeByName("VN_Blank", blank).ok());
    std::vector<Variant> args{None{}};
    Variant result;
    ASSERT_TRUE(k->Invoke(0x6003001C, args, &result).ok());
    EXPECT_EQ(std::get<std::int32_t>(result), ksVN_OT);
    ASSERT_TRUE(std::holds_alternative<std::shared_ptr<host::Worksheet>>(args[0]));
    EXPECT_EQ(std::get<std::shared_ptr<host::Worksheet>>(args[0]), ws);
    // Left out entirely, it is still resolved.
    std::vector<Variant> none;
    ASSERT_TRUE(k->InvokeByName("StateOfDocument", none, &result).ok());
    EXPECT_EQ(std::get<std::int32_t>(result), ksVN_OT);
}

TEST_F(Dispatch, ArgumentErrors) {
    std::vector<Variant> tooMany{ws, std::int32_t{1}, std::int32_t{2}};
    EXPECT_EQ(k->InvokeByName("DocumentBlank", tooMany).number, static_cast<long>(ErrorCode::BadParamCount));
    std::vector<Variant> missing{ws};
    EXPECT_EQ(k->InvokeByName("DocumentBlank", missing).number, static_cast<long>(ErrorCode::ParamNotOptional));
    std::vector<Variant> noSheet;
    EXPECT_EQ(k->InvokeByName("SPA_Blank", noSheet).number, static_cast<long>(ErrorCode::ParamNotOptional));
    std::vector<Variant> text{ws, std::string("1")};
    EXPECT_EQ(k->InvokeByName("DocumentBlank", text).number, static_cast<long>(ErrorCode::TypeMismatch));
    std::vector<Variant> range{ws->RangeAt("A1"), std::int32_t{1}};
    EXPECT_EQ(k->InvokeByName("DocumentBlank", range).number, static_cast<long>(ErrorCode::TypeMismatch));
    std::vector<Variant> flag{std::string("yes")};
    EXPECT_EQ(k->InvokeByName("PE_ColumnsWidthAndHead", flag).number, static_cast<long>(ErrorCode::TypeMismatch));
    std::vector<Variant> any;
    EXPECT_EQ(k->Invoke(0x60030008, any).number, static_cast<long>(ErrorCode::MemberNotFound));
    EXPECT_EQ(k->InvokeByName("SheetPrepare", any).number, static_cast<long>(ErrorCode::UnknownName));
    EXPECT_EQ(Text("A1"), "");
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Dispatch, FailingInnerCallIsTheCallersError) {
    std::vector<Variant> nothing{std::shared_ptr<host::Worksheet>()};
    const CallStatus status = k->InvokeByName("SPB_Blank", nothing);
    EXPECT_EQ(status.number, static_cast<long>(ErrorCode::ObjectRequired));
    EXPECT_EQ(status.description, "Object variable or With block variable not set");
    EXPECT_EQ(k->CallDepth(), 0);
}

TEST_F(Dispatch, EveryMethodOfTheInterfaceIsBuilt) {
    // No slot of the interface answers "not implemented" any more: the two forming
    // routines that were the last to be built run by name on a blank list.
    using WsP = std::shared_ptr<host::Worksheet>;
    for (const char* name : {"FormingSPB", "FormingVPA"}) {
        auto sheet = ws->Parent().Add(nullptr, nullptr);
        if (std::string(name) == "FormingSPB") k->SPB_Blank(sheet); else k->VPA_Blank(sheet);
        std::vector<Variant> args = {WsP(sheet), false, false};
        const CallStatus status = k->InvokeByName(name, args);
        EXPECT_NE(status.number, static_cast<long>(ErrorCode::NotImplemented)) << name;
        EXPECT_TRUE(status.ok()) << name << ": " << status.description;
    }
    EXPECT_EQ(k->CallDepth(), 0);
}

TEST_F(Dispatch, FormingSPBFormsAGroupSpecificationList) {
    using WsP = std::shared_ptr<host::Worksheet>;
    k->SPB_Blank(ws);
    std::vector<Variant> args = {WsP(ws), true, false};
    const CallStatus status = k->InvokeByName("FormingSPB", args);
    EXPECT_TRUE(status.ok()) << status.description;
    EXPECT_EQ(k->StateOfDocument(ws), ksSPB_OF);
    EXPECT_EQ(ws->Page().printArea, "$A:$AE");
    EXPECT_EQ(k->CallDepth(), 0);
    // no worksheet: the call fails and says so
    std::vector<Variant> none = {WsP(), true, false};
    EXPECT_EQ(k->InvokeByName("FormingSPB", none).number, static_cast<long>(ErrorCode::ObjectRequired));
}

// ------------------------------------------------------------------ call frame

TEST_F(Dispatch, CallFrameCountsNestedCalls) {
    std::vector<int> depths;
    ui->onMessage = [&](const model::ScriptedUi::Message&) { depths.push_back(k->CallDepth()); };
    k->VE_ColumnsWidthAndHead(false);  // no current worksheet: reports from inside its frame
    ASSERT_EQ(depths.size(), 1u);
    EXPECT_EQ(depths[0], 1);
    EXPECT_EQ(k->CallDepth(), 0);
}

TEST_F(Dispatch, InstanceOutlivesTheHostsLastReferenceDuringACall) {
    // Owned apart from its control block, so that the memory goes with the instance.
    k = std::shared_ptr<Kalvora>(new Kalvora(app));
    std::weak_ptr<Kalvora> watch = k;
    Kalvora* raw = k.get();
    ui->onMessage = [&](const model::ScriptedUi::Message&) { k.reset(); };
    std::vector<Variant> args{true};
    const CallStatus status = raw->InvokeByName("SPB_ColumnsWidthAndHead", args);
    EXPECT_TRUE(status.ok());
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_TRUE(watch.expired());  // released once the call has ended
}

TEST_F(Dispatch, InstanceWithoutOwnerWorksToo) {
    Kalvora plain(app);
    plain.SPA_Blank(ws);
    EXPECT_EQ(plain.StateOfDocument(ws), ksSPA_OT);
    EXPECT_EQ(plain.CallDepth(), 0);
}

}  // namespace
}  // namespace ormelin
