<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>SettingsDialog</name>
    <message>
        <source>AC failed shutdown capacity:</source>
        <translation>市电故障关机容量：</translation>
    </message>
    <message>
        <source>AC failed shutdown time:</source>
        <translation>市电故障关机时间：</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Are you sure to remove host %1</source>
        <translation>确定要删除主机 %1 吗</translation>
    </message>
    <message>
        <source>Battery low shutdown time:</source>
        <translation>电池电量低关机时间：</translation>
    </message>
    <message>
        <source>Browse shutdown application</source>
        <translation>选择关机程序</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>Host address</source>
        <translation>主机地址</translation>
    </message>
    <message>
        <source>Host connection</source>
        <translation>主机连接</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Maximum execution time:</source>
        <translation>最长执行时间：</translation>
    </message>
    <message>
        <source>Maximun execution time is invalid!</source>
        <translation>最长执行时间无效！</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Popup warning message</source>
        <translation>弹出警告消息</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Run application before shutdown computer</source>
        <translation>关机前运行程序</translation>
    </message>
    <message>
        <source>SNMP port</source>
        <translation>SNMP 端口</translation>
    </message>
    <message>
        <source>SNMP v1/v2</source>
        <translation>SNMP v1/v2</translation>
    </message>
    <message>
        <source>SNMP v3</source>
        <translation>SNMP v3</translation>
    </message>
    <message>
        <source>SNMP version</source>
        <translation>SNMP 版本</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Shutdown Condition</source>
        <translation>关机条件</translation>
    </message>
    <message>
        <source>Shutdown application is not exist!</source>
        <translation>关机程序不存在！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Warning messages</source>
        <translation>警告消息</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>分钟</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Authenticate:</source>
        <translation>认证：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Community error!</source>
        <translation>团体名错误！</translation>
    </message>
    <message>
        <source>Community:</source>
        <translation>团体名：</translation>
    </message>
    <message>
        <source>Host format error!</source>
        <translation>主机地址格式错误！</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>主机：</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Password must be greater than 8 characters!</source>
        <translation>密码不能少于 8 个字符！</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Privacy:</source>
        <translation>加密：</translation>
    </message>
    <message>
        <source>SNMP host exists!</source>
        <translation>SNMP 主机已存在！</translation>
    </message>
    <message>
        <source>SNMP port error!</source>
        <translation>SNMP 端口错误！</translation>
    </message>
    <message>
        <source>SNMP port:</source>
        <translation>SNMP 端口：</translation>
    </message>
    <message>
        <source>SNMP v1/v2</source>
        <translation>SNMP v1/v2</translation>
    </message>
    <message>
        <source>SNMP v3</source>
        <translation>SNMP v3</translation>
    </message>
    <message>
        <source>SNMP version error!</source>
        <translation>SNMP 版本错误！</translation>
    </message>
    <message>
        <source>User name cannot be null!</source>
        <translation>用户名不能为空！</translation>
    </message>
    <message>
        <source>User name must be greater than 8 characters!</source>
        <translation>用户名不能少于 8 个字符！</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>用户名：</translation>
    </message>
</context>
</TS>
