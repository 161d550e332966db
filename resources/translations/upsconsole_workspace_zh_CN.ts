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
        <source>The program is used for device management and settings by SNMP.</source>
        <translation>本程序通过 SNMP 对设备进行管理和设置。</translation>
    </message>
</context>
<context>
    <name>AddDialog</name>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Add station</source>
        <translation>添加站点</translation>
    </message>
    <message>
        <source>Station name:</source>
        <translation>站点名称:</translation>
    </message>
    <message>
        <source>Add device</source>
        <translation>添加设备</translation>
    </message>
    <message>
        <source>&lt;font color=red&gt;*IP Address:</source>
        <translation>&lt;font color=red&gt;*IP 地址:</translation>
    </message>
    <message>
        <source>&lt;font color=red&gt;*Community:</source>
        <translation>&lt;font color=red&gt;*团体名:</translation>
    </message>
    <message>
        <source>Continuous adding device:</source>
        <translation>连续添加设备:</translation>
    </message>
    <message>
        <source>Three phase input</source>
        <translation>三相输入</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Station name is null!</source>
        <translation>站点名称为空！</translation>
    </message>
    <message>
        <source>Station exists!</source>
        <translation>站点已存在！</translation>
    </message>
    <message>
        <source>Add station failed!</source>
        <translation>添加站点失败！</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Add station success!</source>
        <translation>添加站点成功！</translation>
    </message>
    <message>
        <source>IP address is null!</source>
        <translation>IP 地址为空！</translation>
    </message>
    <message>
        <source>IP address is vaild!</source>
        <translation>IP 地址无效！</translation>
    </message>
    <message>
        <source>Community is null!</source>
        <translation>团体名为空！</translation>
    </message>
    <message>
        <source>Add device failed!</source>
        <translation>添加设备失败！</translation>
    </message>
    <message>
        <source>Device exists!</source>
        <translation>设备已存在！</translation>
    </message>
    <message>
        <source>Add device success!</source>
        <translation>添加设备成功！</translation>
    </message>
</context>
<context>
    <name>AttributeDialog</name>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称:</translation>
    </message>
    <message>
        <source>Attribute:</source>
        <translation>属性:</translation>
    </message>
    <message>
        <source>Number of substations:</source>
        <translation>子站点数量:</translation>
    </message>
    <message>
        <source>Number of devices:</source>
        <translation>设备数量:</translation>
    </message>
    <message>
        <source>Create time:</source>
        <translation>创建时间:</translation>
    </message>
    <message>
        <source>station</source>
        <translation>站点</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP 地址:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>位置:</translation>
    </message>
    <message>
        <source>Administrator:</source>
        <translation>管理员:</translation>
    </message>
    <message>
        <source>Belong to station:</source>
        <translation>所属站点:</translation>
    </message>
    <message>
        <source>three phase </source>
        <translation>三相</translation>
    </message>
    <message>
        <source>device</source>
        <translation>设备</translation>
    </message>
</context>
<context>
    <name>DialogStatus</name>
    <message>
        <source>Status list</source>
        <translation>状态列表</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
</context>
<context>
    <name>IconItemGraphicsView</name>
    <message>
        <source>Vud Arori</source>
        <translation>所有站点</translation>
    </message>
</context>
<context>
    <name>IconItemProxy</name>
    <message>
        <source>Online</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>离线</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Browser device</source>
        <translation>浏览设备</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure to delete this deivce?</source>
        <translation>确定要删除该设备吗？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Delete device failed!</source>
        <translation>删除设备失败！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Delete device success!</source>
        <translation>删除设备成功！</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Device Status</source>
        <translation>设备状态</translation>
    </message>
    <message>
        <source>Communication Status</source>
        <translation>通信状态</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>温度(℃)</translation>
    </message>
    <message>
        <source>Load(%)</source>
        <translation>负载(%)</translation>
    </message>
    <message>
        <source>Ouput Voltage(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>Battery Capacity(%)</source>
        <translation>电池容量(%)</translation>
    </message>
    <message>
        <source>Input Status</source>
        <translation>输入状态</translation>
    </message>
    <message>
        <source>Battery Status</source>
        <translation>电池状态</translation>
    </message>
    <message>
        <source>Administrator</source>
        <translation>管理员</translation>
    </message>
    <message>
        <source>View more</source>
        <translation>查看更多</translation>
    </message>
    <message>
        <source>New UPS Status Triggered</source>
        <translation>有新的 UPS 状态</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Online</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>No input</source>
        <translation>无输入</translation>
    </message>
    <message>
        <source>Input over-voltage</source>
        <translation>输入过压</translation>
    </message>
    <message>
        <source>Battery voltage low</source>
        <translation>电池电压低</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Upsconsole</source>
        <translation>UPS 监控台</translation>
    </message>
    <message>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>电子邮件</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Tool</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Search Device</source>
        <translation>搜索设备</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>窗口</translation>
    </message>
    <message>
        <source>Device panel</source>
        <translation>设备面板</translation>
    </message>
    <message>
        <source>Display mode</source>
        <translation>显示模式</translation>
    </message>
    <message>
        <source>Table mode</source>
        <translation>表格模式</translation>
    </message>
    <message>
        <source>Icon mode</source>
        <translation>图标模式</translation>
    </message>
    <message>
        <source>Management station</source>
        <translation>管理站点</translation>
    </message>
    <message>
        <source>Tool bar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Search station</source>
        <translation>搜索站点</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Display window</source>
        <translation>显示窗口</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>ManageTreeView</name>
    <message>
        <source>Vud Arori</source>
        <translation>所有站点</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure to delete this station including it&apos;s child stations and deivces?</source>
        <translation>确定要删除该站点及其子站点和设备吗？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Delete failed!</source>
        <translation>删除失败！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Delete success!</source>
        <translation>删除成功！</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>System Settings</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>SNMP Version    :</source>
        <translation>SNMP 版本  :</translation>
    </message>
    <message>
        <source>Polling cycle   :</source>
        <translation>轮询周期   :</translation>
    </message>
    <message>
        <source>Polling timeout :</source>
        <translation>轮询超时   :</translation>
    </message>
    <message>
        <source>Store data cycle:</source>
        <translation>存储周期   :</translation>
    </message>
    <message>
        <source>Polling retry   :</source>
        <translation>重试次数   :</translation>
    </message>
    <message>
        <source>SNMP Port       :</source>
        <translation>SNMP 端口  :</translation>
    </message>
    <message>
        <source>Trap Port       :</source>
        <translation>Trap 端口  :</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Polling cycle must greater than %1!</source>
        <translation>轮询周期必须大于 %1！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
