// An empty resource table for tests that supply their own images.
#include "machine/resource_store.h"

namespace rq4800 {
const BuiltinResource kBuiltinResources[] = {{0, nullptr, 0}};
}
