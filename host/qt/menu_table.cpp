#include "host/qt/menu_table.h"

#include <QtGlobal>

// The texts are translated where the menu is built (kMenuContext); lupdate
// finds them here.

namespace rq4800 {

const std::array<MenuItem, 11> kMainMenu = {{
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件下载..."),
     command::kDownload, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "初始化FLASH"),
     command::kInitialiseFlash, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "保存FLASH"),
     command::kSaveFlash, false, "F5"},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), nullptr,
     0, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "复位        F8"),
     command::kReset, false, "F8"},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), nullptr,
     0, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "文件"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "退出"),
     command::kExit, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "设置"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "快速播放"),
     command::kFastPlay, true, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "设置"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "FLASH信息"),
     command::kFlashInfo, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "设置"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "调试"),
     command::kDebug, false, nullptr},
    {QT_TRANSLATE_NOOP("rq4800::MainMenu", "帮助"), QT_TRANSLATE_NOOP("rq4800::MainMenu", "关于"),
     command::kAbout, false, nullptr},
}};

const char* const kOpenFileFilters = "Bin file (*.bin);;Txt file(*.txt);;Skin file (*.ski);;Bas file (*.bas)";

}  // namespace rq4800
