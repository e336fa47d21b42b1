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
</context>
</TS>
