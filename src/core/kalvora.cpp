// The service object: construction.
#include "ormelin/kalvora.hpp"

#include "core/frame.hpp"

namespace ormelin {

Kalvora::Kalvora(host::Application& app) : docs_(app) {}

Kalvora::~Kalvora() = default;

std::shared_ptr<Kalvora> Kalvora::Create(host::Application& app) {
    return std::make_shared<Kalvora>(app);
}

}  // namespace ormelin
