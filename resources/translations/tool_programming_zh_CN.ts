<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>BatchProgrammingDialog</name>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="116" />
        <source>Not Start</source>
        <translation>未开始</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="117" />
        <source>In Progress</source>
        <translation>进行中</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="118" />
        <source>Succeeded</source>
        <translation>成功</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="119" />
        <source>Failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="126" />
        <source>Batch Programming</source>
        <translation>批量烧录</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="127" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="220" />
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="127" />
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="127" />
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="127" />
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="128" />
        <source>APP</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="129" />
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="130" />
        <source>Patch</source>
        <translation>补丁</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="131" />
        <source>Refresh Version</source>
        <translation>刷新版本</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="132" />
        <source>Import Device</source>
        <translation>导入设备</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="133" />
        <source>Export Result</source>
        <translation>导出结果</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="134" />
        <source>Program</source>
        <translation>烧录</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="135" />
        <source>Add Device</source>
        <translation>添加设备</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="136" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="247" />
        <source>Choose Programming File</source>
        <translation>选择烧录文件</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="172" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="176" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="194" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="205" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="237" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="172" />
        <source>IP address is invaild!</source>
        <translation>IP地址无效！</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="172" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="176" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="194" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="205" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="237" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="176" />
        <source>IP already exists!</source>
        <translation>IP已存在！</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="184" />
        <source>Choose Device List File</source>
        <translation>选择设备列表文件</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="185" />
        <source>(*.txt *.csv *.xlsx)</source>
        <translation>(*.txt *.csv *.xlsx)</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="194" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="205" />
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="237" />
        <source>File cannot open!</source>
        <translation>文件无法打开！</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="220" />
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="231" />
        <source>Save Batch Programming Result</source>
        <translation>保存批量烧录结果</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="232" />
        <source>(*.txt)</source>
        <translation>(*.txt)</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="247" />
        <source>(*.bin)</source>
        <translation>(*.bin)</translation>
    </message>
    <message>
        <location filename="../../tool/BatchProgrammingDialog.cpp" line="266" />
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>ProgrammingPage</name>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="71" />
        <source>Programming type    :</source>
        <translation>烧录类型    ：</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="74" />
        <source>APP</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="74" />
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="74" />
        <source>Patch</source>
        <translation>补丁</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="76" />
        <source>Backup</source>
        <translation>备份</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="77" />
        <source>Current version     :</source>
        <translation>当前版本    ：</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="78" />
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="79" />
        <source>Programming file    :</source>
        <translation>烧录文件    ：</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="80" />
        <source>Choose</source>
        <translation>选择</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="81" />
        <source>Programming</source>
        <translation>烧录</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="82" />
        <source>Batch Programming</source>
        <translation>批量烧录</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="83" />
        <source>Programming progress:</source>
        <translation>烧录进度：</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="128" />
        <source>Progress: %1%</source>
        <translation>进度：%1%</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="136" />
        <source>Choose programming file</source>
        <translation>选择烧录文件</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="136" />
        <source>Binary Files(*.bin)</source>
        <translation>二进制文件(*.bin)</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="157" />
        <source>Tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="157" />
        <source>Programming file is not choosen!</source>
        <translation>未选择烧录文件！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="157" />
        <location filename="../../tool/ProgrammingPage.cpp" line="200" />
        <location filename="../../tool/ProgrammingPage.cpp" line="224" />
        <location filename="../../tool/ProgrammingPage.cpp" line="245" />
        <location filename="../../tool/ProgrammingPage.cpp" line="256" />
        <location filename="../../tool/ProgrammingPage.cpp" line="265" />
        <location filename="../../tool/ProgrammingPage.cpp" line="272" />
        <location filename="../../tool/ProgrammingPage.cpp" line="278" />
        <location filename="../../tool/ProgrammingPage.cpp" line="297" />
        <location filename="../../tool/ProgrammingPage.cpp" line="319" />
        <location filename="../../tool/ProgrammingPage.cpp" line="339" />
        <location filename="../../tool/ProgrammingPage.cpp" line="351" />
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="200" />
        <location filename="../../tool/ProgrammingPage.cpp" line="224" />
        <location filename="../../tool/ProgrammingPage.cpp" line="245" />
        <location filename="../../tool/ProgrammingPage.cpp" line="256" />
        <location filename="../../tool/ProgrammingPage.cpp" line="272" />
        <location filename="../../tool/ProgrammingPage.cpp" line="278" />
        <location filename="../../tool/ProgrammingPage.cpp" line="297" />
        <location filename="../../tool/ProgrammingPage.cpp" line="351" />
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="200" />
        <source>Backup file failed!</source>
        <translation>备份文件失败！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="224" />
        <source>Open programming file failed!</source>
        <translation>打开烧录文件失败！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="241" />
        <source>Programming...</source>
        <translation>正在烧录...</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="245" />
        <source>Start programming failed!</source>
        <translation>启动烧录失败！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="256" />
        <location filename="../../tool/ProgrammingPage.cpp" line="339" />
        <source>Programming failed!</source>
        <translation>烧录失败！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="261" />
        <source>Installing program...</source>
        <translation>正在安装程序...</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="265" />
        <location filename="../../tool/ProgrammingPage.cpp" line="319" />
        <location filename="../../tool/ProgrammingPage.cpp" line="339" />
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="265" />
        <source>Programming finish!</source>
        <translation>烧录完成！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="268" />
        <source>Backuping program...</source>
        <translation>正在备份程序...</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="272" />
        <location filename="../../tool/ProgrammingPage.cpp" line="278" />
        <source>Start backup failed!</source>
        <translation>启动备份失败！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="281" />
        <source>Backup program</source>
        <translation>备份程序</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="282" />
        <source>Binary File(*.bin)</source>
        <translation>二进制文件(*.bin)</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="297" />
        <source>Cannot open backup file!</source>
        <translation>无法打开备份文件！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="302" />
        <source>Receiving backup file...</source>
        <translation>正在接收备份文件...</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="319" />
        <source>Backup file finished!</source>
        <translation>备份文件完成！</translation>
    </message>
    <message>
        <location filename="../../tool/ProgrammingPage.cpp" line="351" />
        <source>Programming timeout!</source>
        <translation>烧录超时！</translation>
    </message>
</context>
</TS>