<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>DevSereachPage</name>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>Host</source>
        <translation>主机</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>Product</source>
        <translation>产品</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>Interface</source>
        <translation>接口</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>Netmask</source>
        <translation>子网掩码</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="71" />
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="72" />
        <source>Interface:</source>
        <translation>接口：</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="73" />
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="125" />
        <location filename="../../tool/DevSereachPage.cpp" line="134" />
        <source>Search device</source>
        <translation>搜索设备</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="125" />
        <source>Searching device...</source>
        <translation>正在搜索设备...</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="134" />
        <source>Network interface is not accessible!</source>
        <translation>网络接口不可用！</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="212" />
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <location filename="../../tool/DevSereachPage.cpp" line="273" />
        <source>Browse device</source>
        <translation>浏览设备</translation>
    </message>
</context>
</TS>