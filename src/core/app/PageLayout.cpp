#include "core/app/PageLayout.h"

#include <algorithm>

#include "core/app/ControlIds.h"

namespace mopira {

namespace {

ControlPlacement Size(int controlId, int width, int height) {
    return {controlId, ControlPlacement::Kind::Size, std::max(width, 0), std::max(height, 0)};
}

ControlPlacement Move(int controlId, int left, int top) {
    return {controlId, ControlPlacement::Kind::Move, left, top};
}

}  // namespace

std::vector<ControlPlacement> LayoutPage(int tab, int w, int h) {
    std::vector<ControlPlacement> steps = {
        Size(id::kTab, w - 20, h - 68),
        Move(id::kTopToolBar, w - 63, 2),
    };
    if (tab == 0) {
        steps.push_back(Size(id::kFaceList, w - 40, h - 134));
        steps.push_back(Move(id::kListToolBar, w - 151, 63));
        steps.push_back(Size(id::kFolderCombo, w - 225, 13));
        steps.push_back(Size(id::kFindEdit, w - 225, 20));
    } else if (tab == 1) {
        steps.push_back(Size(id::kFaceGroup, w - 40, 115));
        steps.push_back(Move(id::kAddButton, w - 250, 150));
        steps.push_back(Move(id::kRandomButton, w - 129, 150));
        steps.push_back(Size(id::kTypeList, 140, h - 230));
        steps.push_back(Size(id::kVariationList, w - 185, h - 230));
    }
    return steps;
}

}  // namespace mopira
