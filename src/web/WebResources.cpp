#include <QtGlobal>

// The page's resources live in a static library: the program that links it
// registers them before the first request.
static void initWebResources() {
    Q_INIT_RESOURCE(web);
}

namespace kovo::web {
void registerResources() {
    initWebResources();
}
} // namespace kovo::web
