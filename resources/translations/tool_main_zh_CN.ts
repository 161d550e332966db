<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>CommTcp</name>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="35" />
        <source>Connection timed out</source>
        <translation>连接超时</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="58" />
        <location filename="../../tool/CommTcp.cpp" line="66" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="58" />
        <source>Device not connected!</source>
        <translation>设备未连接！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="58" />
        <location filename="../../tool/CommTcp.cpp" line="66" />
        <location filename="../../tool/CommTcp.cpp" line="99" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="66" />
        <source>Send command failed!</source>
        <translation>发送命令失败！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="99" />
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="134" />
        <source>Set device's IP Settings success!</source>
        <translation>设置设备IP成功！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="137" />
        <source>Reset device's IP Settings success!</source>
        <translation>重置设备IP设置成功！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="140" />
        <source>Set device's date success!</source>
        <translation>设置设备日期成功！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="143" />
        <source>Set device's fixed parameters success!</source>
        <translation>设置设备固定参数成功！</translation>
    </message>
    <message>
        <location filename="../../tool/CommTcp.cpp" line="146" />
        <source>Set device's port success!</source>
        <translation>设置设备端口成功！</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="91" />
        <source>Upsprobe</source>
        <translation>Upsprobe</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="92" />
        <source>Tool</source>
        <translation>工具</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="93" />
        <source>Reboot Device</source>
        <translation>重启设备</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="94" />
        <source>Window</source>
        <translation>窗口</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="95" />
        <source>Font</source>
        <translation>字体</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="96" />
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="97" />
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="98" />
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="99" />
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="100" />
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="101" />
        <source>Programming</source>
        <translation>烧录</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="101" />
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="101" />
        <source>Fixed Parameters</source>
        <translation>固定参数</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="102" />
        <source>Display Log</source>
        <translation>显示日志</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="102" />
        <source>Serial Port Test</source>
        <translation>串口测试</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="102" />
        <source>Device Search</source>
        <translation>设备搜索</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="105" />
        <source>Device IP:</source>
        <translation>设备IP：</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="106" />
        <source>Clear history</source>
        <translation>清除历史</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="240" />
        <source>&lt;font color=#00FF00&gt;Connected to device</source>
        <translation>&lt;font color=#00FF00&gt;已连接设备</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="241" />
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="243" />
        <source>&lt;font color=#FF0000&gt;Disconnect with device</source>
        <translation>&lt;font color=#FF0000&gt;未连接设备</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="244" />
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="256" />
        <location filename="../../tool/MainWindow.cpp" line="260" />
        <location filename="../../tool/MainWindow.cpp" line="283" />
        <source>Tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="256" />
        <source>Device IP Address could not be null!</source>
        <translation>设备IP地址不能为空！</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="256" />
        <location filename="../../tool/MainWindow.cpp" line="260" />
        <location filename="../../tool/MainWindow.cpp" line="283" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="260" />
        <source>Device IP Address format error!</source>
        <translation>设备IP地址格式错误！</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="283" />
        <source>Connect to device failed, %1!</source>
        <translation>连接设备失败，%1！</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="297" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="297" />
        <source>Are you sure to reboot device?</source>
        <translation>确定要重启设备吗？</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="345" />
        <source>Built on</source>
        <translation>构建于</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="347" />
        <source>This software is used for device programming and settings.</source>
        <translation>本软件用于设备烧录和设置。</translation>
    </message>
    <message>
        <location filename="../../tool/MainWindow.cpp" line="352" />
        <source>About Upsprobe</source>
        <translation>关于 Upsprobe</translation>
    </message>
</context>
</TS>