// The service object: construction, the current worksheet and the screen.
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

host::Worksheet& Kalvora::Sheet() const {
    if (!ws_) throw Error(ErrorCode::ObjectRequired);
    return *ws_;
}

// One repaint: screen updating on, and at once off again.
void Kalvora::ScreenRefresh() {
    app_.ScreenUpdating(true);
    app_.ScreenUpdating(false);
}

}  // namespace ormelin
