<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>rq4800::AboutDialog</name>
    <message>
        <source>版本信息</source>
        <translation>About</translation>
    </message>
    <message>
        <source>RQ4800模拟器  版本 %1</source>
        <translation>RQ4800 Emulator  version %1</translation>
    </message>
    <message>
        <source>掌上电脑的桌面模拟器，运行自带的固件。</source>
        <translation>A desktop emulator of the handheld computer, running its own built-in firmware.</translation>
    </message>
    <message>
        <source>以 C++20 与 Qt 6 编写，开放源代码。</source>
        <translation>Written in C++20 with Qt 6; open source.</translation>
    </message>
    <message>
        <source>数据文件夹: %1
设置文件: %2</source>
        <translation>Data folder: %1
Settings file: %2</translation>
    </message>
    <message>
        <source>说明 &lt;a href=&quot;%1&quot;&gt;README&lt;/a&gt;</source>
        <translation>Documentation: &lt;a href=&quot;%1&quot;&gt;README&lt;/a&gt;</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>rq4800::DebugDialog</name>
    <message>
        <source>调试</source>
        <translation>Debug</translation>
    </message>
    <message>
        <source>反汇编</source>
        <translation>Disassemble</translation>
    </message>
</context>
<context>
    <name>rq4800::DebuggerWindow</name>
    <message>
        <source>调试器</source>
        <translation>Debugger</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>单步</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>步过</source>
        <translation>Step over</translation>
    </message>
    <message>
        <source>步出</source>
        <translation>Step out</translation>
    </message>
    <message>
        <source>IRQ时停止</source>
        <translation>Stop on IRQ</translation>
    </message>
    <message>
        <source>NMI时停止</source>
        <translation>Stop on NMI</translation>
    </message>
    <message>
        <source>地址或标号 [页]</source>
        <translation>address or label [bank]</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>地址[-地址]</source>
        <translation>address[-address]</translation>
    </message>
    <message>
        <source>断点</source>
        <translation>Breakpoints</translation>
    </message>
    <message>
        <source>观察点</source>
        <translation>Watchpoints</translation>
    </message>
    <message>
        <source> 页%1</source>
        <translation> bank %1</translation>
    </message>
    <message>
        <source>运行中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>已停止于 %1</source>
        <translation>Stopped at %1</translation>
    </message>
</context>
<context>
    <name>rq4800::DisassemblyView</name>
    <message>
        <source>标号</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>指令</source>
        <translation>Instruction</translation>
    </message>
    <message>
        <source>点击左边栏设置或清除断点</source>
        <translation>Click the left margin to set or clear a breakpoint</translation>
    </message>
    <message>
        <source>地址或标号</source>
        <translation>address or label</translation>
    </message>
    <message>
        <source>反汇编</source>
        <translation>Disassemble</translation>
    </message>
</context>
<context>
    <name>rq4800::KeyDialog</name>
    <message>
        <source>按键设置</source>
        <translation>Key mapping</translation>
    </message>
    <message>
        <source>设备键</source>
        <translation>Device key</translation>
    </message>
    <message>
        <source>键码</source>
        <translation>Key code</translation>
    </message>
    <message>
        <source>PC键</source>
        <translation>PC keys</translation>
    </message>
    <message>
        <source>更改...</source>
        <translation>Change...</translation>
    </message>
    <message>
        <source>添加...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>请按下设备键 %1 的新PC键。</source>
        <translation>Press the new PC key for device key %1.</translation>
    </message>
    <message>
        <source>%1 由窗口使用或无法映射，不能选用。请按另一个键。</source>
        <translation>%1 is used by the window or cannot be mapped. Press another key.</translation>
    </message>
    <message>
        <source>冲突：%1 同时按下多个设备键。请更改或清除标出的行。</source>
        <translation>Conflict: %1 presses more than one device key. Change or clear the marked rows.</translation>
    </message>
</context>
<context>
    <name>rq4800::LogWindow</name>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
</context>
<context>
    <name>rq4800::MainMenu</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>文件下载...</source>
        <translation>Download file...</translation>
    </message>
    <message>
        <source>初始化FLASH</source>
        <translation>Initialise flash</translation>
    </message>
    <message>
        <source>保存FLASH</source>
        <translation>Save flash</translation>
    </message>
    <message>
        <source>复位        F8</source>
        <translation>Reset        F8</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>快速播放</source>
        <translation>Fast play</translation>
    </message>
    <message>
        <source>FLASH信息</source>
        <translation>Flash info</translation>
    </message>
    <message>
        <source>调试</source>
        <translation>Debug</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>rq4800::MainWindow</name>
    <message>
        <source>Lumora模拟器</source>
        <translation>Lumora Emulator</translation>
    </message>
    <message>
        <source>不支持的指令 %1 at %2</source>
        <translation>Unsupported instruction %1 at %2</translation>
    </message>
    <message>
        <source>FLASH已恢复为默认内容（保存FLASH后才写入映像文件）</source>
        <translation>The flash is back to its default contents (written to the image file only by Save flash)</translation>
    </message>
    <message>
        <source>; Files starts it</source>
        <translation>; Files starts it</translation>
    </message>
    <message>
        <source>FLASH已保存: %1</source>
        <translation>Flash saved: %1</translation>
    </message>
    <message>
        <source>保存FLASH失败: %1
</source>
        <translation>Saving the flash failed: %1
</translation>
    </message>
    <message>
        <source>保存FLASH失败，映像文件未改动。</source>
        <translation>Saving the flash failed; the image file is unchanged.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>FLASH已修改，是否保存？</source>
        <translation>The flash has changed. Save it?</translation>
    </message>
    <message>
        <source>不保存则下载的文件和设备写入的内容都将丢失。</source>
        <translation>Without saving, the downloaded files and everything the device wrote are lost.</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>初始化FLASH将清除设备中的全部文件并复位，是否继续？</source>
        <translation>Initialising the flash erases every file in the device and resets it. Go on?</translation>
    </message>
    <message>
        <source>已保存的映像文件在下次保存FLASH前不受影响。</source>
        <translation>The saved image file stays as it is until the next Save flash.</translation>
    </message>
    <message>
        <source>初始化</source>
        <translation>Initialise</translation>
    </message>
    <message>
        <source>问题: %1</source>
        <translation>Problem: %1</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>States</translation>
    </message>
    <message>
        <source>保存状态</source>
        <translation>Save state</translation>
    </message>
    <message>
        <source>读取状态</source>
        <translation>Load state</translation>
    </message>
    <message>
        <source>暂停        Ctrl+P</source>
        <translation>Pause        Ctrl+P</translation>
    </message>
    <message>
        <source>帧步进      Ctrl+N</source>
        <translation>Frame advance      Ctrl+N</translation>
    </message>
    <message>
        <source>倒带        按住Backspace</source>
        <translation>Rewind        hold Backspace</translation>
    </message>
    <message>
        <source>空</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>状态%1  %2    Ctrl+%1</source>
        <translation>State %1  %2    Ctrl+%1</translation>
    </message>
    <message>
        <source>状态%1  %2    Alt+%1</source>
        <translation>State %1  %2    Alt+%1</translation>
    </message>
    <message>
        <source>状态 %1 已保存: %2</source>
        <translation>State %1 saved: %2</translation>
    </message>
    <message>
        <source>保存状态 %1 失败: %2
</source>
        <translation>Saving state %1 failed: %2
</translation>
    </message>
    <message>
        <source>读取状态 %1 失败: %2</source>
        <translation>Loading state %1 failed: %2</translation>
    </message>
    <message>
        <source>已读取状态 %1</source>
        <translation>State %1 loaded</translation>
    </message>
    <message>
        <source>倒带</source>
        <translation>Rewinding</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <source>语言设置未保存: %1
</source>
        <translation>The language setting was not saved: %1
</translation>
    </message>
    <message>
        <source>语言设置已保存</source>
        <translation>Language setting saved</translation>
    </message>
    <message>
        <source>语言设置已保存，下次启动时生效</source>
        <translation>Language setting saved; it takes effect at the next start</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>平滑缩放</source>
        <translation>Smooth scaling</translation>
    </message>
    <message>
        <source>全屏        F11</source>
        <translation>Full screen        F11</translation>
    </message>
    <message>
        <source>只显示LCD   Ctrl+L</source>
        <translation>LCD only   Ctrl+L</translation>
    </message>
    <message>
        <source>截图        F12</source>
        <translation>Screenshot        F12</translation>
    </message>
    <message>
        <source>截图文件夹...</source>
        <translation>Screenshot folder...</translation>
    </message>
    <message>
        <source>截图文件夹</source>
        <translation>Screenshot folder</translation>
    </message>
    <message>
        <source>设置未保存: %1
</source>
        <translation>Setting not saved: %1
</translation>
    </message>
    <message>
        <source>截图失败: %1
</source>
        <translation>Screenshot failed: %1
</translation>
    </message>
    <message>
        <source>截图已保存: %1</source>
        <translation>Screenshot saved: %1</translation>
    </message>
    <message>
        <source>截图和录音保存到: %1</source>
        <translation>Screenshots and recordings go to: %1</translation>
    </message>
    <message>
        <source>声音</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>静音        Ctrl+M</source>
        <translation>Mute        Ctrl+M</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>录音        Ctrl+R</source>
        <translation>Record sound        Ctrl+R</translation>
    </message>
    <message>
        <source>静音</source>
        <translation>Muted</translation>
    </message>
    <message>
        <source>声音已打开</source>
        <translation>Sound on</translation>
    </message>
    <message>
        <source>正在录音: %1</source>
        <translation>Recording: %1</translation>
    </message>
    <message>
        <source>录音</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>无法录音: %1
</source>
        <translation>Cannot record: %1
</translation>
    </message>
    <message>
        <source>录音已保存: %1（%2 秒）</source>
        <translation>Recording saved: %1 (%2 s)</translation>
    </message>
    <message>
        <source>录音在 %2 秒处中断，文件保留到中断前: %1
</source>
        <translation>Recording cut off at %2 s; the file keeps what came before: %1
</translation>
    </message>
    <message>
        <source>调试器      Ctrl+D</source>
        <translation>Debugger      Ctrl+D</translation>
    </message>
    <message>
        <source>只读：FLASH未保存，映像文件未改动</source>
        <translation>Read-only: the flash was not saved; the image file is unchanged</translation>
    </message>
    <message>
        <source>只读：设置未保存</source>
        <translation>Read-only: the setting is not saved</translation>
    </message>
    <message>
        <source>另一个模拟器正在使用数据文件夹 %1。</source>
        <translation>Another emulator is using the data folder %1.</translation>
    </message>
    <message>
        <source>两个程序不能同时保存同一个FLASH映像。以只读方式打开（不保存FLASH、状态和设置），还是退出？</source>
        <translation>Two programs cannot save the same flash image. Open read-only (no flash, states or settings saved), or quit?</translation>
    </message>
    <message>
        <source>只读打开</source>
        <translation>Open read-only</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>按键设置...</source>
        <translation>Key mapping...</translation>
    </message>
    <message>
        <source> [只读]</source>
        <translation> [read-only]</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>不保存FLASH、状态和设置</source>
        <translation>No flash, states or settings are saved</translation>
    </message>
    <message>
        <source>只读：FLASH的改动不会保存，是否退出？</source>
        <translation>Read-only: the changes to the flash will not be saved. Quit?</translation>
    </message>
    <message>
        <source>只读方式下本程序不写入FLASH映像。</source>
        <translation>In read-only mode this program does not write the flash image.</translation>
    </message>
    <message>
        <source>FLASH映像 (*.fls)</source>
        <translation>Flash image (*.fls)</translation>
    </message>
    <message>
        <source>全部支持的文件 (*.bin *.txt *.ski *.bas *.fls)</source>
        <translation>All supported files (*.bin *.txt *.ski *.bas *.fls)</translation>
    </message>
    <message>
        <source>最近的文件</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>最近的文件未能写入设置: %1
</source>
        <translation>The recent files were not written to the settings: %1
</translation>
    </message>
    <message>
        <source>%1 已不存在，已从最近的文件中移除</source>
        <translation>%1 no longer exists and was removed from the recent files</translation>
    </message>
    <message>
        <source>%1: 不是可用的FLASH映像，FLASH未改动（%2）</source>
        <translation>%1: not a usable flash image; the flash is unchanged (%2)</translation>
    </message>
    <message>
        <source>只读：FLASH的改动不会保存，是否载入 %1？</source>
        <translation>Read-only: the changes to the flash will not be saved. Load %1?</translation>
    </message>
    <message>
        <source>载入</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>FLASH已修改，载入 %1 前是否保存？</source>
        <translation>The flash was changed. Save it before loading %1?</translation>
    </message>
    <message>
        <source>%1: 未载入，FLASH未改动</source>
        <translation>%1: not loaded; the flash is unchanged</translation>
    </message>
    <message>
        <source>%1: FLASH映像已载入（保存FLASH后才写入映像文件）</source>
        <translation>%1: flash image loaded (the image file is written only by Save flash)</translation>
    </message>
    <message>
        <source>按键设置已生效（只读：不保存）</source>
        <translation>Key mapping in effect (read-only: not saved)</translation>
    </message>
    <message>
        <source>按键设置已保存</source>
        <translation>Key mapping saved</translation>
    </message>
    <message>
        <source>按键设置未能保存: %1
</source>
        <translation>The key mapping was not saved: %1
</translation>
    </message>
</context>
<context>
    <name>rq4800::MemoryView</name>
    <message>
        <source>总线</source>
        <translation>Bus</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>address</translation>
    </message>
    <message>
        <source>双击一个字节输入新的十六进制值</source>
        <translation>Double-click a byte to enter a new hexadecimal value</translation>
    </message>
</context>
<context>
    <name>rq4800::RegisterPanel</name>
    <message>
        <source>堆栈</source>
        <translation>Stack</translation>
    </message>
</context>
</TS>
