#include "app_services.h"

namespace {
VaultsAppServices* current = nullptr;
}  // namespace

VaultsAppServices& GetAppServices() { return *current; }

void SetAppServices(VaultsAppServices* services) { current = services; }
