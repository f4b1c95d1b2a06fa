#pragma once
#include "entities/DxccEntity.h"

#include <vector>

/// The deleted DXCC entities, in the order of their ADIF codes.
const std::vector<DxccEntity> &deletedEntities();
