#include "app/Lapforge.h"
