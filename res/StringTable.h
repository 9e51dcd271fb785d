#pragma once

#include <QString>
#include <QStringView>

// Every text the user sees, in one place. Numbered strings are looked up by the id of the
// command or control they belong to; the others are named.
namespace mopira::res {

// The string with this id, or an empty string when there is none. Toolbar strings hold a
// status prompt, "\n" and the tooltip.
QString LoadString(int id);

// Window and tabs.
inline constexpr QStringView kWindowCaption = u"モピラ";
inline constexpr QStringView kListTitle = u"一覧 - モピラ";
inline constexpr QStringView kCreateTitle = u"作成 - モピラ";
inline constexpr QStringView kListTab = u"一覧";
inline constexpr QStringView kCreateTab = u"作成";

// Names that screen readers give the two toolbars.
inline constexpr QStringView kTopToolBarName = u"ウィンドウのツールバー";
inline constexpr QStringView kListToolBarName = u"一覧のツールバー";

// About box.
inline constexpr QStringView kAboutCaption = u"モピラのバージョン情報";
inline constexpr QStringView kAboutProduct = u"モピラ Version 1.2";
// The second line names the data folder in use.
inline constexpr QStringView kAboutDataFolder = u"データ: %1";
inline constexpr QStringView kOk = u"OK";
inline constexpr QStringView kCancel = u"キャンセル";
// The answers of a question box.
inline constexpr QStringView kYes = u"はい(&Y)";
inline constexpr QStringView kNo = u"いいえ(&N)";

// List tab.
inline constexpr QStringView kCopyCaption = u"コピー";
inline constexpr QStringView kCopyTip = u"顔文字をコピーします";
inline constexpr QStringView kAllFaces = u"すべての顔文字";
inline constexpr QStringView kRecentFaces = u"最近使った顔文字";
inline constexpr QStringView kFaceColumn = u"顔文字";
inline constexpr QStringView kFolderColumn = u"場所";
inline constexpr QStringView kLocationCaption = u"場所";
inline constexpr QStringView kSearchCaption = u"検索";
inline constexpr QStringView kFindHint = u"ここに顔文字の一部を入力してください。";
inline constexpr QStringView kFindByLocationItem = u"場所を指定(&I)";
inline constexpr QStringView kFindByTextItem = u"文字列を検索(&F)";
inline constexpr QStringView kCopyItem = u"コピー(&C)";
inline constexpr QStringView kNewFaceItem = u"新しい顔文字(&N)...";
inline constexpr QStringView kDeleteItem = u"削除(&D)";
inline constexpr QStringView kMoveItem = u"移動(&M)...";
inline constexpr QStringView kPropertiesItem = u"プロパティ(&R)";
inline constexpr QStringView kDeleteOneQuestion = u"'%1' を削除してもよろしいですか?";
inline constexpr QStringView kDeleteManyQuestion =
    u"これら %1個の顔文字を削除してもよろしいですか?";
inline constexpr QStringView kLoading = u"読み込み中…";
// What an empty list says.
inline constexpr QStringView kNoMatch = u"見つかりません";
inline constexpr QStringView kNoFaces = u"顔文字がありません";
inline constexpr QStringView kNoRecent = u"まだ何もコピーしていません";
inline constexpr QStringView kFolderEmptied =
    u"このフォルダには顔文字がありません。\nフォルダを削除します。";

// Create tab.
inline constexpr QStringView kTypeColumn = u"部分";
inline constexpr QStringView kKindColumn = u"種類";
inline constexpr QStringView kVariation1Column = u"バリエーション 1";
inline constexpr QStringView kVariation2Column = u"バリエーション 2";
inline constexpr QStringView kEyeRow = u"目";
inline constexpr QStringView kMouthRow = u"口";
inline constexpr QStringView kEdgeRow = u"手と輪郭";
inline constexpr QStringView kEmotionRow = u"気持ち";
inline constexpr QStringView kFaceGroup = u"下の顔文字をクリックしてください";
inline constexpr QStringView kRandomCaption = u"ランダム(&R)";
inline constexpr QStringView kRandomTip = u"顔文字の要素をランダムに選択します";
inline constexpr QStringView kAddCaption = u"一覧に追加(&A)...";
inline constexpr QStringView kAddTip = u"作成した顔文字を一覧に追加します";
inline constexpr QStringView kEdgeLeftTip = u"手と輪郭(左)";
inline constexpr QStringView kEyeLeftTip = u"目(左)";
inline constexpr QStringView kMouthTip = u"口";
inline constexpr QStringView kEyeRightTip = u"目(右)";
inline constexpr QStringView kEmotionRightTip = u"気持ち(右)";
inline constexpr QStringView kEmotionLeftTip = u"気持ち(左)";
inline constexpr QStringView kEdgeRightTip = u"手と輪郭(右)";

// Dialogs.
inline constexpr QStringView kAddDlgCaption = u"一覧の追加";
inline constexpr QStringView kAddDlgPrompt = u"一覧に追加される顔文字の内容を入力してください。";
inline constexpr QStringView kContentLabel = u"内容(&C):";
inline constexpr QStringView kLocationLabel = u"場所(&I):";
inline constexpr QStringView kKeywordsLabel = u"キーワード(&K):";
inline constexpr QStringView kKeywordsHint = u"例: なく かなしい (空白で区切る)";
inline constexpr QStringView kNewFolderButton = u"新規フォルダ(&N)";
inline constexpr QStringView kPropertyDlgCaption = u"プロパティ";
inline constexpr QStringView kPropertyTab = u"顔文字";
inline constexpr QStringView kMoveDlgCaption = u"移動";
inline constexpr QStringView kMoveLabel = u"顔文字の移動先(&M):";
inline constexpr QStringView kNewFolderDlgCaption = u"フォルダの作成";
inline constexpr QStringView kFolderNameLabel = u"フォルダ名(&F):";
inline constexpr QStringView kFolderReadingLabel = u"読み(&R):";
// Shown in place of proposed readings where MeCab cannot start.
inline constexpr QStringView kNoReadingProposals =
    u"読みの自動入力には MeCab と辞書 (mecab-ipadic-utf8) が必要です。";
inline constexpr QStringView kFolderNameTaken =
    u"指定された名前は既に使用されています。\n別の名前を指定してください。";
inline constexpr QStringView kDuplicateFace =
    u"'%1' は既に存在します。別の顔文字を入力してください。";
inline constexpr QStringView kUnrepresentable =
    u"次の文字は保存できません (Shift_JIS "
    u"で表せない文字です):\n%1\n\n別の文字に置き換えてください。";

// Files and help.
inline constexpr QStringView kHelpMissing =
    u"index.htmが見つかりません。\nヘルプが表示できません。";
inline constexpr QStringView kHelpNotOpened =
    u"ヘルプを表示するブラウザが見つかりません。\n次のファイルをブラウザで開いてください:\n%1";
inline constexpr QStringView kSaveFailed =
    u"顔文字の一覧を保存できませんでした。\n\nファイル: %1\n理由: %2\n\n"
    u"前のファイルはそのまま残っています。変更は消えていません。しばらくしてから、"
    u"自動でもう一度保存します。";
inline constexpr QStringView kSaveWaiting =
    u"ほかのプログラムが顔文字の一覧を Shift_JIS に戻したため、次の顔文字を保存できません:\n%1\n\n"
    u"ファイル: %2\n\n変更は消えていません。ファイルが UTF-8 に戻るか、その顔文字を"
    u"変更するまで、保存を待ちます。";
inline constexpr QStringView kSavedAgain = u"顔文字の一覧を保存しました。";
inline constexpr QStringView kFileReadOnlyMessage =
    u"顔文字の一覧のファイルに書き込む権限がありません:\n%1\n\n"
    u"今回は顔文字の追加・変更・削除はできません (コピーと検索はできます)。";
inline constexpr QStringView kFileReadOnlyTip =
    u"顔文字の一覧のファイルに書き込む権限がないため、変更できません";
inline constexpr QStringView kFolderReadOnlyTip =
    u"データフォルダに書き込めないため、変更できません";
// Another program left the file nearly empty: what to keep.
inline constexpr QStringView kSuspiciousEmpty =
    u"顔文字の一覧のファイルが、ほかのプログラムによって空にされました。";
inline constexpr QStringView kSuspiciousNotALibrary =
    u"顔文字の一覧のファイルが、ほかのプログラムによって顔文字の一覧ではない内容に"
    u"書き換えられました。";
inline constexpr QStringView kSuspiciousMostGone =
    u"顔文字の一覧のファイルが、ほかのプログラムによって書き換えられ、表示中の %1 個のうち "
    u"%2 個の顔文字がなくなっています。";
inline constexpr QStringView kSuspiciousQuestion =
    u"%1\n\nファイル: %2\n\n表示中の顔文字をファイルに書き戻しますか? それとも、"
    u"ファイルの内容を読み込みますか?\nどちらを選んでも、もう一方は回復用のファイルとして"
    u"データフォルダに残します。";
inline constexpr QStringView kSuspiciousWriteBack = u"書き戻す(&W)";
inline constexpr QStringView kSuspiciousTakeFile = u"読み込む(&R)";
inline constexpr QStringView kRecoveryKept = u"回復用のファイルを残しました:\n%1";
// Closing with changes that could not be saved.
inline constexpr QStringView kCloseUnsaved =
    u"顔文字の一覧への変更を保存できていません。\n\nファイル: %1\n理由: %2\n\n"
    u"もう一度保存しますか? それとも、変更を回復用のファイルに残して終了しますか? "
    u"(次に起動したときに取り込めます)";
inline constexpr QStringView kCloseRetry = u"もう一度保存(&R)";
inline constexpr QStringView kCloseKeep = u"回復用に残して終了(&K)";
inline constexpr QStringView kCloseKeepFailed =
    u"回復用のファイルも書けませんでした。\n理由: %1\n\n"
    u"もう一度保存しますか? それとも、変更を捨てて終了しますか?";
inline constexpr QStringView kCloseDiscard = u"変更を捨てて終了(&D)";
inline constexpr QStringView kCloseNotSavedYet = u"保存が終わっていません";
// A start finds changes a closing kept.
inline constexpr QStringView kRecoveryOffer =
    u"前回保存できなかった顔文字の一覧の変更が、回復用のファイルに残っています:\n%1\n\n"
    u"その中の、今の一覧にない顔文字を取り込みますか?";
inline constexpr QStringView kRecoveryTaken =
    u"回復用のファイルから %1 個の顔文字を取り込みました。";
// Conflict copies another machine's sync tool left beside the library.
inline constexpr QStringView kCopyMerged = u"別の端末の変更を取り込みました: 追加 %1、削除 %2";
inline constexpr QStringView kCopyMergedMoved = u"、移動 %1";
inline constexpr QStringView kCopyWaiting =
    u"別の端末の変更に、Shift_JIS では保存できない顔文字があります:\n%1\n\nファイル: %2\n\n"
    u"顔文字の一覧が UTF-8 になるまで、このファイルはそのまま残します。";
inline constexpr QStringView kCopyInvalid =
    u"別の端末の変更に、文字として読めないバイトがあるため取り込めません:\n%1\n\n"
    u"ファイル: %2\n\nファイルはそのまま残します。";
inline constexpr QStringView kKeywordsSaveFailed =
    u"読みとキーワードを保存できませんでした。\n\nファイル: %1\n理由: %2\n\n"
    u"変更は消えていません。しばらくしてから、もう一度保存します。";
inline constexpr QStringView kCopyUnreadable =
    u"別の端末の変更を読み込めませんでした。\n\nファイル: %1\n理由: %2\n\n"
    u"ファイルはそのまま残し、あとでもう一度読み込みます。";
// An import that may not be a list of emoticons at all.
inline constexpr QStringView kImportNotText =
    u"このファイルの行の多くは、文字として読めないか、制御文字を含んでいます。顔文字の一覧で"
    u"はないかもしれません:\n%1\n\nそれでもインポートしますか?";
inline constexpr QStringView kImportReading = u"ファイルを読み込んでいます…";
inline constexpr QStringView kImportApplying = u"顔文字を追加しています…";
inline constexpr QStringView kLibraryUnreadable =
    u"顔文字の一覧を読み込めませんでした。\n\nファイル: %1\n理由: %2\n\n"
    u"ファイルを守るため、今回は顔文字の追加・変更・削除はできません "
    u"(コピーと検索はできます)。";
inline constexpr QStringView kLibraryReadOnlyTip =
    u"顔文字の一覧を読み込めなかったため、変更できません";
inline constexpr QStringView kChangesNotApplied =
    u"顔文字の一覧がほかのプログラムで変更されていました。次の顔文字はすでになかったため、"
    u"変更をそのまま反映できませんでした:\n%1\n\n"
    u"編集した顔文字は、新しい顔文字として保存しました。";
inline constexpr QStringView kFolderReadOnly =
    u"データフォルダに書き込めません:\n%1\n\n顔文字の変更は保存されません。";

// Why a file could not be read or written, and the step it happened at: "reason (step)".
inline constexpr QStringView kFileErrorFormat = u"%1 (%2)";
inline constexpr QStringView kFileStepOpen = u"開くとき";
inline constexpr QStringView kFileStepStatus = u"大きさを調べるとき";
inline constexpr QStringView kFileStepRead = u"読み込み中";
inline constexpr QStringView kFileStepLock = u"保存の準備中";
inline constexpr QStringView kFileStepCreate = u"作成するとき";
inline constexpr QStringView kFileStepWrite = u"書き込み中";
inline constexpr QStringView kFileStepSync = u"ディスクへの書き出し中";
inline constexpr QStringView kFileStepClose = u"閉じるとき";
inline constexpr QStringView kFileStepRename = u"置き換えるとき";
inline constexpr QStringView kFileShortRead = u"ファイルを最後まで読み込めませんでした";
inline constexpr QStringView kFileNotRegular =
    u"通常のファイルではありません (フォルダ、デバイス、名前付きパイプなど)";
inline constexpr QStringView kFileReadOnly = u"ファイルへの書き込みが許可されていません";
inline constexpr QStringView kFileNoSpace = u"ディスクの空き容量が足りません";
inline constexpr QStringView kFileQuota = u"ディスクの使用量の上限を超えています";
inline constexpr QStringView kFileDenied = u"アクセスが拒否されました";
inline constexpr QStringView kFileReadOnlyDrive = u"読み取り専用のドライブです";
inline constexpr QStringView kFileTooLarge =
    u"ファイルが大きすぎます (ファイルの大きさの上限を超えます)";
inline constexpr QStringView kFileIoError = u"ディスクの読み書きでエラーが発生しました";
inline constexpr QStringView kFileNotFound = u"ファイルまたはフォルダが見つかりません";
inline constexpr QStringView kFileIsFolder = u"ファイルではなくフォルダです";
inline constexpr QStringView kFilePathTooLong = u"パスが長すぎます";
inline constexpr QStringView kFileTooManyOpen = u"開いているファイルが多すぎます";
inline constexpr QStringView kFileNoMemory = u"メモリが足りません";
inline constexpr QStringView kFileNotUtf8 =
    u"ほかのプログラムが書き込んだ顔文字の一覧を UTF-8 に変換できません";
inline constexpr QStringView kFileBusy = u"ほかのプログラムが使用中です";
inline constexpr QStringView kFileOtherError = u"エラー %1: %2";

// A library that becomes UTF-8.
inline constexpr QStringView kUtf8Question =
    u"Shift_JIS では保存できない文字があります。\n\n"
    u"顔文字の一覧を UTF-8 で保存すると、どの文字も保存できます。ただし、FaceList.dat を "
    u"Shift_JIS として読むプログラムでは読めなくなります (今のファイルは FaceList.sjis.dat "
    u"として残します)。\n\nUTF-8 で保存しますか?";
inline constexpr QStringView kUtf8Refused =
    u"次の顔文字があるため、UTF-8 に変換できません。修正するか削除してから、もう一度お試し"
    u"ください。\n\n%1";
inline constexpr QStringView kUtf8InvalidText = u"%1 (Shift_JIS として読めないバイトがあります)";
inline constexpr QStringView kUtf8InvalidFolder =
    u"%1 (フォルダ名に Shift_JIS として読めないバイトがあります)";
inline constexpr QStringView kUtf8SameText = u"%1 (ほかの顔文字と同じ文字になります)";
inline constexpr QStringView kUtf8SameFolder =
    u"%1 (フォルダ名がほかのフォルダと同じ文字になります)";
// Closes a list of which only the first few are shown.
inline constexpr QStringView kMoreItems = u"ほか %1 個 (全部で %2 個)";

// Import and export.
inline constexpr QStringView kImportItem = u"インポート(&I)...";
inline constexpr QStringView kExportItem = u"エクスポート(&E)...";
inline constexpr QStringView kImportCaption = u"インポート";
inline constexpr QStringView kExportCaption = u"エクスポート";
inline constexpr QStringView kExchangeFilter =
    u"テキスト ファイル (*.txt *.tsv);;すべてのファイル (*)";
inline constexpr QStringView kImportFolderLabel = u"フォルダのない顔文字の追加先(&F):";
inline constexpr QStringView kImportTooLarge =
    u"ファイルが大きすぎるため、インポートできません (%1 MB までです)。\n\nファイル: %2";
inline constexpr QStringView kImportUnreadable =
    u"ファイルを読み込めませんでした。\n\nファイル: %1\n理由: %2";
inline constexpr QStringView kImportSummary =
    u"インポートしました。\n\n追加: %1 個\n既にある: %2 個\n追加できない: %3 個";
inline constexpr QStringView kImportRefusedLine = u"%1 行目: %2";
inline constexpr QStringView kImportEmptyText = u"顔文字がありません";
inline constexpr QStringView kImportEmptyFolder = u"フォルダ名がありません";
inline constexpr QStringView kImportInvalidBytes = u"文字として読めないバイトがあります";
inline constexpr QStringView kImportControl = u"制御文字があります: %1";
inline constexpr QStringView kImportReservedFolder = u"「すべての顔文字」はフォルダ名にできません";
inline constexpr QStringView kImportUnrepresentableText = u"Shift_JIS で保存できない文字: %1";
inline constexpr QStringView kImportUnrepresentableFolder =
    u"フォルダ名に Shift_JIS で保存できない文字: %1";
inline constexpr QStringView kExportDone = u"%1 個の顔文字をエクスポートしました。";
inline constexpr QStringView kExportSkipped =
    u"次の顔文字は、インポートで元どおりに戻せないため書き出しませんでした:\n%1";
inline constexpr QStringView kExportOverLibrary =
    u"顔文字の一覧のファイルにはエクスポートできません。別のファイルを指定してください。";
inline constexpr QStringView kExportFailed =
    u"エクスポートできませんでした。\n\nファイル: %1\n理由: %2";

// The library as an input method's user dictionary.
inline constexpr QStringView kDictionaryItem = u"辞書に書き出す(&J)...";
inline constexpr QStringView kFolderReadingItem = u"フォルダの読み(&Y)...";
inline constexpr QStringView kFolderReadingCaption = u"フォルダの読み";
inline constexpr QStringView kFolderReadingPrompt =
    u"検索と辞書に使う、フォルダ「%1」の読み (ひらがな):\n空にすると読みを消します。";
inline constexpr QStringView kDictionaryCaption = u"辞書に書き出す";
inline constexpr QStringView kDictionaryPrompt =
    u"顔文字を読みで入力できるように、日本語入力の辞書に書き出します。辞書の形式を選んでください。";
inline constexpr QStringView kDictionaryMozc = u"&Mozc / Google 日本語入力";
inline constexpr QStringView kDictionaryMozcNote =
    u"fcitx5-mozc、ibus-mozc、Google 日本語入力。辞書ツールでインポートします (UTF-8)";
inline constexpr QStringView kDictionaryMsIme = u"Microsoft &IME";
inline constexpr QStringView kDictionaryMsImeNote =
    u"ユーザー辞書ツールの「テキスト ファイルからの登録」で読み込みます (UTF-16)";
inline constexpr QStringView kDictionaryQuickPhrase = u"fcitx5 &QuickPhrase";
inline constexpr QStringView kDictionaryQuickPhraseNote =
    u"quickphrase.d に置くと、読みをローマ字で打って入力できます (UTF-8)";
inline constexpr QStringView kDictionarySkk = u"&SKK";
inline constexpr QStringView kDictionarySkkNote =
    u"ddskk、fcitx5-skk、ibus-skk の辞書に加えます (UTF-8)";
inline constexpr QStringView kDictionaryTextFilter =
    u"テキスト ファイル (*.txt);;すべてのファイル (*)";
inline constexpr QStringView kDictionaryQuickPhraseFilter =
    u"QuickPhrase の辞書 (*.mb);;すべてのファイル (*)";
inline constexpr QStringView kDictionarySkkFilter =
    u"SKK の辞書 (SKK-JISYO.* *.utf8);;すべてのファイル (*)";
inline constexpr QStringView kDictionaryDone =
    u"%1 個の顔文字を、読みごとに 1 語として、%2 語の辞書に書き出しました。\n\nファイル: %3";
inline constexpr QStringView kDictionaryNothing = u"辞書に書き出せる顔文字がありません。";
inline constexpr QStringView kDictionaryReadingNote =
    u"辞書の読みには、フォルダの読みと、顔文字のかなのキーワードを使います (Keywords.dat)。";
inline constexpr QStringView kDictionaryOmitted = u"次の %1 件は書き出しませんでした:\n%2";
// An emoticon or one of its readings left out, and why.
inline constexpr QStringView kDictionaryOmittedLine = u"%1 (%2)";
inline constexpr QStringView kDictionaryNoReading = u"読みがありません";
inline constexpr QStringView kDictionaryControl = u"この形式では書けない制御文字があります";
inline constexpr QStringView kDictionaryTextTooLong = u"この形式には長すぎます";
inline constexpr QStringView kDictionaryReadingTooLong = u"読み「%1」がこの形式には長すぎます";
inline constexpr QStringView kDictionaryFailed =
    u"辞書を書き出せませんでした。\n\nファイル: %1\n理由: %2";

// Calling the window up from other programs: the window's menu, the tray icon and the global
// shortcut of the settings file.
inline constexpr QStringView kHideAfterCopyItem = u"コピーしたら隠す(&H)";
inline constexpr QStringView kPasteAfterCopyItem = u"隠したら元のウィンドウに貼り付ける(&P)";
inline constexpr QStringView kTrayShowHide = u"表示/隠す";
inline constexpr QStringView kTrayQuit = u"終了";
inline constexpr QStringView kQuitItem = u"終了(&X)";
inline constexpr QStringView kSettingsItem = u"設定(&S)...";

// The settings dialog.
inline constexpr QStringView kSettingsCaption = u"設定";
inline constexpr QStringView kHotkeyLabel = u"呼び出すキー(&K):";
inline constexpr QStringView kPasteKeyLabel = u"貼り付けのキー(&V):";
inline constexpr QStringView kPasteKeyTip =
    u"空のときは、端末には Ctrl+Shift+V、ほかのプログラムには Ctrl+V を送ります";
inline constexpr QStringView kTrayItem = u"通知領域にアイコンを表示する(&T)";
inline constexpr QStringView kCloseToTrayItem = u"閉じたら通知領域に隠す(&C)";
inline constexpr QStringView kCloseCaption = u"閉じる";
inline constexpr QStringView kNoHotkey = u"なし (押して設定)";
inline constexpr QStringView kAutomaticPasteKey = u"自動 (押して設定)";
// What became of the shortcut just pressed.
inline constexpr QStringView kHotkeyStateGrabbed =
    u"どのプログラムからでも、このキーでモピラを表示/隠すことができます。";
inline constexpr QStringView kHotkeyStateInvalid =
    u"「%1」は使えません。Ctrl か Alt を含むキーを押してください。";
inline constexpr QStringView kHotkeyStateTaken =
    u"「%1」は、ほかのプログラムが使っています。別のキーを押してください。";
inline constexpr QStringView kHotkeyStateUnsupported =
    u"このデスクトップでは、モピラはキーを登録できません。デスクトップのキーボード設定で、"
    u"コマンド「mopira --toggle」にキーを割り当ててください。";
inline constexpr QStringView kHotkeyStatePending = u"デスクトップに問い合わせています…";
inline constexpr QStringView kHotkeyStateRefused =
    u"デスクトップで許可されませんでした。デスクトップのキーボード設定で、"
    u"コマンド「mopira --toggle」にキーを割り当ててください。";
inline constexpr QStringView kHotkeyInvalid =
    u"ショートカット キー「%1」は使えません。\n"
    u"Ctrl+Alt+K のように、Ctrl か Alt を含むキーを一つ、%2 の Hotkey= に指定してください。";
inline constexpr QStringView kHotkeyTaken =
    u"ショートカット キー「%1」は、ほかのプログラムが使っています。\n"
    u"%2 の Hotkey= に別のキーを指定してください。";
inline constexpr QStringView kPasteKeyInvalid =
    u"貼り付けのキー「%1」は使えません。\n"
    u"%2 の PasteKey= に、\n"
    u"Ctrl+V や Ctrl+Shift+V のようにキーを一つ指定してください。\n"
    u"空にすると、端末には Ctrl+Shift+V、ほかには Ctrl+V を送ります。";
inline constexpr QStringView kHotkeyUnsupported =
    u"ショートカット キー「%1」は、\nこのデスクトップでは登録できません。\n";
inline constexpr QStringView kHotkeyRefused =
    u"ショートカット キー「%1」の登録は、\nデスクトップで許可されませんでした。\n";
inline constexpr QStringView kHotkeyBindCommand =
    u"デスクトップのキーボード設定で、\nコマンド「mopira --toggle」にキーを割り当ててください。";
// What the shortcut does, as the desktop's own dialog shows it.
inline constexpr QStringView kHotkeyDescription = u"モピラのウィンドウを表示/隠す";
inline constexpr QStringView kPasteRefused =
    u"ほかのプログラムへの貼り付けは、\nデスクトップで許可されませんでした。\n"
    u"顔文字はクリップボードにあります。\nCtrl+V で貼り付けてください。";

}  // namespace mopira::res
