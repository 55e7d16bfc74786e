#include "vault_properties_dialog.h"
