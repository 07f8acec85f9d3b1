#include "app/controls.h"
