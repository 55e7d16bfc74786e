#include "password_dialog.h"
