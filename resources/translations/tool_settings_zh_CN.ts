<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>FixedParamPage</name>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="53" />
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="53" />
        <source>value</source>
        <translation>值</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="54" />
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="55" />
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="56" />
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="57" />
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="58" />
        <source>Backup</source>
        <translation>备份</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="59" />
        <source>Load</source>
        <translation>加载</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="102" />
        <location filename="../../tool/FixedParamPage.cpp" line="136" />
        <location filename="../../tool/FixedParamPage.cpp" line="141" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="102" />
        <source>Read fixed parameters failed!</source>
        <translation>读取固定参数失败！</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="102" />
        <location filename="../../tool/FixedParamPage.cpp" line="111" />
        <location filename="../../tool/FixedParamPage.cpp" line="136" />
        <location filename="../../tool/FixedParamPage.cpp" line="182" />
        <location filename="../../tool/FixedParamPage.cpp" line="199" />
        <location filename="../../tool/FixedParamPage.cpp" line="216" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="111" />
        <location filename="../../tool/FixedParamPage.cpp" line="182" />
        <location filename="../../tool/FixedParamPage.cpp" line="199" />
        <location filename="../../tool/FixedParamPage.cpp" line="216" />
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="111" />
        <source>Read fixed parameters finished!</source>
        <translation>读取固定参数完成！</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="136" />
        <source>Invaild settings!</source>
        <translation>设置无效！</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="142" />
        <source>There is item or value is empty! And these will no be set to device!
Do you want to continue?</source>
        <translation>存在项目或值为空！这些项不会设置到设备！
是否继续？</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="143" />
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="143" />
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="174" />
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="175" />
        <source>devserial</source>
        <translation>devserial</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="176" />
        <source>ethaddr</source>
        <translation>ethaddr</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="182" />
        <source>No content to backup!</source>
        <translation>没有可备份的内容！</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="185" />
        <source>Save fixed parameter file</source>
        <translation>保存固定参数文件</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="186" />
        <location filename="../../tool/FixedParamPage.cpp" line="205" />
        <source>(*.ini)</source>
        <translation>(*.ini)</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="199" />
        <source>Save fixed parameter success!</source>
        <translation>保存固定参数成功！</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="204" />
        <source>Choose fixed parameter file</source>
        <translation>选择固定参数文件</translation>
    </message>
    <message>
        <location filename="../../tool/FixedParamPage.cpp" line="216" />
        <source>Load fixed parameter success!</source>
        <translation>加载固定参数成功！</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="95" />
        <source>IP settings</source>
        <translation>IP设置</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="96" />
        <source>IP Address:</source>
        <translation>IP地址：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="96" />
        <source>Netmask:</source>
        <translation>子网掩码：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="96" />
        <source>Gateway:</source>
        <translation>网关：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="97" />
        <source>DNS1:</source>
        <translation>DNS1：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="97" />
        <source>DNS2:</source>
        <translation>DNS2：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="100" />
        <location filename="../../tool/SettingsPage.cpp" line="113" />
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="101" />
        <location filename="../../tool/SettingsPage.cpp" line="114" />
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="102" />
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="103" />
        <source>&lt;font color=#FF0000&gt;*Note: This settings will be effect when next boot.</source>
        <translation>&lt;font color=#FF0000&gt;*注意：此设置将在下次启动后生效。</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="104" />
        <source>Date settings</source>
        <translation>日期设置</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="105" />
        <source>Date:</source>
        <translation>日期：</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="106" />
        <source>Device date</source>
        <translation>设备日期</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="107" />
        <source>Sync date</source>
        <translation>同步日期</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="108" />
        <source>Port settings</source>
        <translation>端口设置</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="109" />
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="109" />
        <source>Enable</source>
        <translation>启用</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="109" />
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="146" />
        <location filename="../../tool/SettingsPage.cpp" line="181" />
        <location filename="../../tool/SettingsPage.cpp" line="192" />
        <location filename="../../tool/SettingsPage.cpp" line="199" />
        <source>Tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="146" />
        <source>Format error!</source>
        <translation>格式错误！</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="146" />
        <location filename="../../tool/SettingsPage.cpp" line="166" />
        <location filename="../../tool/SettingsPage.cpp" line="181" />
        <location filename="../../tool/SettingsPage.cpp" line="192" />
        <location filename="../../tool/SettingsPage.cpp" line="199" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="166" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="166" />
        <source>Port settings error!</source>
        <translation>端口设置错误！</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="181" />
        <source>Read IP infomation failed!</source>
        <translation>读取IP信息失败！</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="192" />
        <source>Read date failed!</source>
        <translation>读取日期失败！</translation>
    </message>
    <message>
        <location filename="../../tool/SettingsPage.cpp" line="199" />
        <source>Read port settings failed!</source>
        <translation>读取端口设置失败！</translation>
    </message>
</context>
</TS>