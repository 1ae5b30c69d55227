// The formula engine lives in src/formula; this header stays for the file layer.
#pragma once

#include "formula/formula.hpp"
