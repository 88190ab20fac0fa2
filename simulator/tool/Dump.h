#pragma once
// orvexsim's text for people and scripts: one unit's state and the requests it received.
// Lines are stable: "unit N: present|absent", "  opens A, closes B, ...", "  request #K ...",
// and bytes as "    0000: xx xx ..." sixteen to a line.

#include "SimControl.h"

#include <string>
#include <vector>

std::wstring DescribeUnitSummary(int unit, const SimUnitState& state);
std::wstring DescribeUnit(int unit, const SimUnitState& state, const std::vector<SimRequest>& log);
