// libFuzzer entry: any bytes given to the reader end in a workbook or in a
// FileError; anything else (a crash, a sanitizer report, another exception)
// is a fault.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ormelin::model::ModelApplication app(std::make_shared<ormelin::model::ScriptedUi>());
    ormelin::xlsx::Limits limits;
    limits.maxTotalBytes = 64 << 20;
    limits.maxPartBytes = 16 << 20;
    limits.maxEntries = 2000;
    try {
        ormelin::xlsx::LoadReport report;
        ormelin::xlsx::LoadWorkbookFromMemory(app, data, size, "fuzz.xlsx", &report, limits);
    } catch (const ormelin::Error& e) {
        if (e.code() != ormelin::ErrorCode::FileError) std::abort();
    }
    return 0;
}
