#include "host/qt/menu_table.h"

namespace rq4800 {

const std::array<MenuItem, 11> kMainMenu = {{
    {"文件", "文件下载...", command::kDownload, false, nullptr},
    {"文件", "初始化FLASH", command::kInitialiseFlash, false, nullptr},
    {"文件", "保存FLASH", command::kSaveFlash, false, "F5"},
    {"文件", nullptr, 0, false, nullptr},
    {"文件", "复位        F8", command::kReset, false, "F8"},
    {"文件", nullptr, 0, false, nullptr},
    {"文件", "退出", command::kExit, false, nullptr},
    {"设置", "快速播放", command::kFastPlay, true, nullptr},
    {"设置", "FLASH信息", command::kFlashInfo, false, nullptr},
    {"设置", "调试", command::kDebug, false, nullptr},
    {"帮助", "关于", command::kAbout, false, nullptr},
}};

const char* const kOpenFileFilters = "Bin file (*.bin);;Txt file(*.txt);;Skin file (*.ski);;Bas file (*.bas)";

}  // namespace rq4800
