#include "shell/base/setup_state.h"

SetupState setup;
