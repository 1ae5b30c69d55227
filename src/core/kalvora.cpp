// The service object: construction, and the error a caught exception stands for.
#include "ormelin/kalvora.hpp"

#include "core/frame.hpp"

namespace ormelin {

Error CurrentError() {
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::OutOfMemory);
    } catch (const std::exception& e) {
        return Error(ErrorCode::ApplicationDefined, e.what());
    } catch (...) {
        return Error(ErrorCode::ApplicationDefined);
    }
}

Kalvora::Kalvora(host::Application& app) : app_(app) {}

Kalvora::~Kalvora() = default;

std::shared_ptr<Kalvora> Kalvora::Create(host::Application& app) {
    return std::make_shared<Kalvora>(app);
}

}  // namespace ormelin
