<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>DevSearchDialog</name>
    <message>
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="55" />
        <source>Search Device</source>
        <translation>搜索设备</translation>
    </message>
    <message>
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="56" />
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="57" />
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="105" />
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="141" />
        <source>Search device</source>
        <translation>搜索设备</translation>
    </message>
    <message>
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="58" />
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="141" />
        <source>Searching device...</source>
        <translation>正在搜索设备...</translation>
    </message>
    <message>
        <location filename="../../upsconsole/accounts/DevSearchDialog.cpp" line="105" />
        <source>Network interface is not accessible!</source>
        <translation>网络接口不可用！</translation>
    </message>
</context>
</TS>