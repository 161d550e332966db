<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ChartWidget</name>
    <message>
        <source>Voltage: %1V</source>
        <translation>电压: %1V</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>电压</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Voltage(V)</source>
        <translation>电压(V)</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>DevInfoWidget</name>
    <message>
        <source>Model:</source>
        <translation>型号:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称:</translation>
    </message>
    <message>
        <source>UPS FW version:</source>
        <translation>UPS固件版本:</translation>
    </message>
    <message>
        <source>Manufacture date:</source>
        <translation>生产日期:</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号:</translation>
    </message>
    <message>
        <source>Agent FW version:</source>
        <translation>代理固件版本:</translation>
    </message>
</context>
<context>
    <name>DevicePanel</name>
    <message>
        <source>Current Device:</source>
        <translation>当前设备:</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>图表</translation>
    </message>
    <message>
        <source>Real time data</source>
        <translation>实时数据</translation>
    </message>
    <message>
        <source>Data log</source>
        <translation>数据日志</translation>
    </message>
    <message>
        <source>Set log</source>
        <translation>设置日志</translation>
    </message>
    <message>
        <source>Status log</source>
        <translation>状态日志</translation>
    </message>
    <message>
        <source>Dev info</source>
        <translation>设备信息</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Battery capacity</source>
        <translation>电池容量</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>电池电压</translation>
    </message>
    <message>
        <source>Battery temperature</source>
        <translation>电池温度</translation>
    </message>
    <message>
        <source>Battery current</source>
        <translation>电池电流</translation>
    </message>
    <message>
        <source>Input line voltage</source>
        <translation>输入线电压</translation>
    </message>
    <message>
        <source>Input max line voltage</source>
        <translation>输入最高线电压</translation>
    </message>
    <message>
        <source>Input min line voltage</source>
        <translation>输入最低线电压</translation>
    </message>
    <message>
        <source>Input frequency</source>
        <translation>输入频率</translation>
    </message>
    <message>
        <source>Output voltage</source>
        <translation>输出电压</translation>
    </message>
    <message>
        <source>Output frequency</source>
        <translation>输出频率</translation>
    </message>
    <message>
        <source>Output load</source>
        <translation>输出负载</translation>
    </message>
    <message>
        <source>Input R phase voltage</source>
        <translation>输入R相电压</translation>
    </message>
    <message>
        <source>Input S phase voltage</source>
        <translation>输入S相电压</translation>
    </message>
    <message>
        <source>Input T phase voltage</source>
        <translation>输入T相电压</translation>
    </message>
    <message>
        <source>Output R phase voltage</source>
        <translation>输出R相电压</translation>
    </message>
    <message>
        <source>Output S phase voltage</source>
        <translation>输出S相电压</translation>
    </message>
    <message>
        <source>Output T phase voltage</source>
        <translation>输出T相电压</translation>
    </message>
    <message>
        <source>Output R phase load</source>
        <translation>输出R相负载</translation>
    </message>
    <message>
        <source>Output S phase load</source>
        <translation>输出S相负载</translation>
    </message>
    <message>
        <source>Output T phase load</source>
        <translation>输出T相负载</translation>
    </message>
    <message>
        <source>Bypass R phase voltage</source>
        <translation>旁路R相电压</translation>
    </message>
    <message>
        <source>Bypass S phase voltage</source>
        <translation>旁路S相电压</translation>
    </message>
    <message>
        <source>Bypass T phase voltage</source>
        <translation>旁路T相电压</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Start date:</source>
        <translation>开始日期:</translation>
    </message>
    <message>
        <source>End date:</source>
        <translation>结束日期:</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Clear logs</source>
        <translation>清除日志</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Select range of time error!</source>
        <translation>选择的时间范围有误!</translation>
    </message>
    <message>
        <source>Are you sure to clear all logs?!</source>
        <translation>确定要清除所有日志吗?!</translation>
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
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Clear logs finished!</source>
        <translation>日志清除完成!</translation>
    </message>
    <message>
        <source>Export logs</source>
        <translation>导出日志</translation>
    </message>
    <message>
        <source>Export succeed!</source>
        <translation>导出成功!</translation>
    </message>
</context>
<context>
    <name>RealTimeWidget</name>
    <message>
        <source>Capacity:</source>
        <translation>容量:</translation>
    </message>
    <message>
        <source>Voltage:</source>
        <translation>电压:</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>温度:</translation>
    </message>
    <message>
        <source>Current:</source>
        <translation>电流:</translation>
    </message>
    <message>
        <source>Line voltage:</source>
        <translation>线电压:</translation>
    </message>
    <message>
        <source>Line max voltage:</source>
        <translation>最高线电压:</translation>
    </message>
    <message>
        <source>Line min voltage:</source>
        <translation>最低线电压:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>频率:</translation>
    </message>
    <message>
        <source>Load:</source>
        <translation>负载:</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>电池</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Administrator</source>
        <translation>管理员</translation>
    </message>
    <message>
        <source>UPS Max Input Volt.(V)</source>
        <translation>UPS最高输入电压(V)</translation>
    </message>
    <message>
        <source>UPS Min Input Volt.(V)</source>
        <translation>UPS最低输入电压(V)</translation>
    </message>
    <message>
        <source>UPS Max Output Volt.(V)</source>
        <translation>UPS最高输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Min Output Volt.(V)</source>
        <translation>UPS最低输出电压(V)</translation>
    </message>
    <message>
        <source>UPS Temp. Alarm(℃)</source>
        <translation>UPS温度告警(℃)</translation>
    </message>
    <message>
        <source>UPS Load Alarm(%)</source>
        <translation>UPS负载告警(%)</translation>
    </message>
    <message>
        <source>UPS Low Batt. Volt.(V)</source>
        <translation>UPS电池低电压(V)</translation>
    </message>
    <message>
        <source>UPS Low Batt. Remain Time(min)</source>
        <translation>UPS电池低剩余时间(min)</translation>
    </message>
    <message>
        <source>Env Over Temp.(℃)</source>
        <translation>环境温度上限(℃)</translation>
    </message>
    <message>
        <source>Env Under Temp.(℃)</source>
        <translation>环境温度下限(℃)</translation>
    </message>
    <message>
        <source>Env Over Humi.(%RH)</source>
        <translation>环境湿度上限(%RH)</translation>
    </message>
    <message>
        <source>Env Under Humi.(%RH)</source>
        <translation>环境湿度下限(%RH)</translation>
    </message>
    <message>
        <source>Power off</source>
        <translation>关机</translation>
    </message>
    <message>
        <source>Buzzer</source>
        <translation>蜂鸣器</translation>
    </message>
    <message>
        <source>Batt. self-check</source>
        <translation>电池自检</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Management Info</source>
        <translation>管理信息</translation>
    </message>
    <message>
        <source>Device Configure</source>
        <translation>设备配置</translation>
    </message>
    <message>
        <source>Device Control</source>
        <translation>设备控制</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Modified %1!</source>
        <translation>修改%1!</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>%1 %2 %3!</source>
        <translation>%1 %2 %3!</translation>
    </message>
    <message>
        <source>enable</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>disable</source>
        <translation>禁用</translation>
    </message>
</context>
</TS>
