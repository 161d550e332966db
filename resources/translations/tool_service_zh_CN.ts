<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>DisplayLogPage</name>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="41" />
        <location filename="../../tool/DisplayLogPage.cpp" line="113" />
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="41" />
        <location filename="../../tool/DisplayLogPage.cpp" line="76" />
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="42" />
        <source>Refresh log file</source>
        <translation>刷新日志文件</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="43" />
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="78" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="78" />
        <source>Log file error!</source>
        <translation>日志文件错误！</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="78" />
        <location filename="../../tool/DisplayLogPage.cpp" line="97" />
        <location filename="../../tool/DisplayLogPage.cpp" line="115" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="97" />
        <location filename="../../tool/DisplayLogPage.cpp" line="115" />
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="97" />
        <source>No log file is accessible!</source>
        <translation>没有可用的日志文件！</translation>
    </message>
    <message>
        <location filename="../../tool/DisplayLogPage.cpp" line="115" />
        <source>Open log file failed!</source>
        <translation>打开日志文件失败！</translation>
    </message>
</context>
<context>
    <name>SPTestPage</name>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="92" />
        <source>RS485:</source>
        <translation>RS485：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="93" />
        <source>Port Name:</source>
        <translation>端口名称：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="94" />
        <source>Buad Rate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="95" />
        <source>Data Bits:</source>
        <translation>数据位：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="96" />
        <source>Flow Control:</source>
        <translation>流控：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="97" />
        <source>Parity:</source>
        <translation>校验位：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="98" />
        <source>Stop Bits:</source>
        <translation>停止位：</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="99" />
        <location filename="../../tool/SPTestPage.cpp" line="102" />
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="100" />
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="101" />
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="103" />
        <source>Hardware</source>
        <translation>硬件</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="104" />
        <source>Software</source>
        <translation>软件</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="105" />
        <location filename="../../tool/SPTestPage.cpp" line="229" />
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="105" />
        <location filename="../../tool/SPTestPage.cpp" line="189" />
        <location filename="../../tool/SPTestPage.cpp" line="237" />
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="106" />
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="107" />
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="108" />
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="109" />
        <source>Modbus</source>
        <translation>Modbus</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="110" />
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="162" />
        <source>Send: 
</source>
        <translation>发送：
</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="162" />
        <source>Receive: 
</source>
        <translation>接收：
</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="199" />
        <location filename="../../tool/SPTestPage.cpp" line="231" />
        <location filename="../../tool/SPTestPage.cpp" line="238" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="199" />
        <source>Port not opened!</source>
        <translation>端口未打开！</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="199" />
        <location filename="../../tool/SPTestPage.cpp" line="231" />
        <location filename="../../tool/SPTestPage.cpp" line="238" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="231" />
        <source>Open device's serial port failed!</source>
        <translation>打开设备串口失败！</translation>
    </message>
    <message>
        <location filename="../../tool/SPTestPage.cpp" line="238" />
        <source>Send data to device's serial port failed!</source>
        <translation>向设备串口发送数据失败！</translation>
    </message>
</context>
</TS>