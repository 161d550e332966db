<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>LogDialog</name>
    <message>
        <source>Are you sure to remove all logs?</source>
        <translation>确定要删除全部日志吗？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Export log %1 !</source>
        <translation>导出日志%1！</translation>
    </message>
    <message>
        <source>Export log</source>
        <translation>导出日志</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Save event log</source>
        <translation>保存事件日志</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Waiting for operation completed...</source>
        <translation>正在导出，请稍候...</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>End date:</source>
        <translation>结束日期：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Start date:</source>
        <translation>开始日期：</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Event log</source>
        <translation>事件日志</translation>
    </message>
    <message>
        <source>Host address</source>
        <translation>主机地址</translation>
    </message>
</context>
</TS>
