#include "rig/HamlibModels.h"

#include <hamlib/rig.h>
#include <mutex>

#include "rig/HamlibRig.h"

namespace kovo::rig {

namespace {

int addModel(const rig_caps* caps, rig_ptr_t data) {
    auto* models = static_cast<std::vector<HamlibModel>*>(data);
    models->push_back({int(caps->rig_model), caps->mfg_name ? caps->mfg_name : "",
                       caps->model_name ? caps->model_name : ""});
    return 1; // go on
}

} // namespace

std::vector<HamlibModel> hamlibModels() {
    quietHamlib();
    static std::once_flag loaded;
    std::call_once(loaded, [] { rig_load_all_backends(); });
    std::vector<HamlibModel> models;
    rig_list_foreach(addModel, &models);
    return models;
}

} // namespace kovo::rig
