#include "res/StringTable.h"

#include <utility>

#include "core/app/ControlIds.h"

namespace mopira::res {

namespace {

constexpr std::pair<int, QStringView> kStrings[] = {
    {id::kAboutString, u"バージョン情報(&A)..."},
    {id::kDelete, u"\n削除"},
    {id::kProperties, u"\nプロパティ"},
    {id::kNewFace, u"\n新しい顔文字"},
    {id::kTopMost, u"\n常に手前に表示"},
    {id::kHelp, u"\nヘルプ"},
    {id::kListView, u"\n一覧"},
    {id::kDetailsView, u"\n詳細"},
    {id::kFindByLocation, u"場所を指定して顔文字を検索します"},
    {id::kFindByText, u"文字列を入力して顔文字を検索します"},
    {id::kMove, u"\n顔文字の移動先"},
};

}  // namespace

QString LoadString(int id) {
    for (const auto& [stringId, text] : kStrings) {
        if (stringId == id) {
            return text.toString();
        }
    }
    return {};
}

}  // namespace mopira::res
