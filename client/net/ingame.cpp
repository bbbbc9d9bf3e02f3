#include "ingame.h"
