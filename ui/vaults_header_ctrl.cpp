#include "vaults_header_ctrl.h"
