#include "forming/forming_fixture.hpp"
namespace ormelin { namespace {
using testing_support::FormingTest;
TEST_F(FormingTest, Smoke) {
    for (auto kind : {ksSPA_OT, ksPE_OT_1, ksPE_OT_2, ksVN_OT, ksVE_OT}) {
        FillList(kind, 60);
        ASSERT_EQ(State(), kind);
        Form(true, false);
        EXPECT_EQ(State(), KindOf(kind) == DocKind::PE ? ksPE_OF : kind + 1) << kind;
        EXPECT_EQ(Text("Y33"), "3") << kind;
        for (auto& m : ui->messages) std::cerr << m.text << "\n";
        ui->messages.clear();
        k->Otkat(ws);
        EXPECT_EQ(State(), kind) << kind;
        for (int i = 1; i <= 60; ++i) EXPECT_EQ(ws->CellText(i + 1, TextColumn(kind)), "строка " + std::to_string(i)) << kind;
        EXPECT_EQ(ws->UsedRange().r2, 61);
    }
}
}}
