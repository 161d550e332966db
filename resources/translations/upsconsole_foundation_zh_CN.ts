<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>main</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Init failed!</source>
        <translation>初始化失败！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
