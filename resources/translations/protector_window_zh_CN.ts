<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Built on</source>
        <translation>构建于</translation>
    </message>
    <message>
        <source>The program is used for power off protection by SNMP.</source>
        <translation>本程序通过 SNMP 为计算机提供断电保护。</translation>
    </message>
</context>
<context>
    <name>ListWidgetItem</name>
    <message>
        <source>Battery capacity: %1 %</source>
        <translation>电池容量：%1 %</translation>
    </message>
    <message>
        <source>Battery low</source>
        <translation>电池电量低</translation>
    </message>
    <message>
        <source>Battery status: %1</source>
        <translation>电池状态：%1</translation>
    </message>
    <message>
        <source>High line voltage</source>
        <translation>市电电压过高</translation>
    </message>
    <message>
        <source>Input status: %1</source>
        <translation>输入状态：%1</translation>
    </message>
    <message>
        <source>No transfer</source>
        <translation>市电异常</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>On battery</source>
        <translation>电池供电</translation>
    </message>
    <message>
        <source>On bypass</source>
        <translation>旁路供电</translation>
    </message>
    <message>
        <source>On line</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>Output status: %1</source>
        <translation>输出状态：%1</translation>
    </message>
    <message>
        <source>Unknow</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>对象</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>事件</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Clear content</source>
        <translation>清空内容</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>日志</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Upsguard</source>
        <translation>UPS 守护</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Shutdown application exit!</source>
        <translation>关机程序已退出！</translation>
    </message>
    <message>
        <source>Shutdown application is invalid!</source>
        <translation>关机程序无效！</translation>
    </message>
    <message>
        <source>Start to executing shutdown application.</source>
        <translation>开始执行关机程序。</translation>
    </message>
    <message>
        <source>System shutdown is canceled</source>
        <translation>系统关机已取消</translation>
    </message>
    <message>
        <source>System will be shutdown in %1 minute(s)</source>
        <translation>系统将在 %1 分钟后关机</translation>
    </message>
</context>
</TS>
