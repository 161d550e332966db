<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>DialogSettingsEmail</name>
    <message>
        <source>E-Mail Settings</source>
        <translation>邮件设置</translation>
    </message>
    <message>
        <source>Enable E-Mail</source>
        <translation>启用邮件</translation>
    </message>
    <message>
        <source>E-Mail Sender</source>
        <translation>邮件发送者</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>发送者名称:</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>发送者地址:</translation>
    </message>
    <message>
        <source>SMTP Server Address:</source>
        <translation>SMTP服务器地址:</translation>
    </message>
    <message>
        <source>SMTP Port:</source>
        <translation>SMTP端口:</translation>
    </message>
    <message>
        <source>Encryption :</source>
        <translation>加密方式:</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>STARTTLS</source>
        <translation>STARTTLS</translation>
    </message>
    <message>
        <source>SSL/TLS</source>
        <translation>SSL/TLS</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>身份验证</translation>
    </message>
    <message>
        <source>Sender Account:</source>
        <translation>发送者账号:</translation>
    </message>
    <message>
        <source>Sender Password:</source>
        <translation>发送者密码:</translation>
    </message>
    <message>
        <source>Send Test E-Mail</source>
        <translation>发送测试邮件</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Notified E-Mail Address</source>
        <translation>通知邮件地址</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Test E-Mail</source>
        <translation>测试邮件</translation>
    </message>
    <message>
        <source>This is a test e-mail.</source>
        <translation>这是一封测试邮件。</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Are you sure to delete this address?</source>
        <translation>确定要删除此地址吗?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>EmailService</name>
    <message>
        <source> From Upsconsole</source>
        <translation> 来自 Upsconsole</translation>
    </message>
    <message>
        <source>System name: </source>
        <translation>系统名称: </translation>
    </message>
    <message>
        <source>System contact: </source>
        <translation>系统联系人: </translation>
    </message>
    <message>
        <source>System location: </source>
        <translation>系统位置: </translation>
    </message>
    <message>
        <source>Information: </source>
        <translation>信息: </translation>
    </message>
    <message>
        <source>UPS information</source>
        <translation>UPS信息</translation>
    </message>
    <message>
        <source>connection failed: </source>
        <translation>连接失败: </translation>
    </message>
    <message>
        <source>encryption failed: </source>
        <translation>加密失败: </translation>
    </message>
    <message>
        <source>authentication failed: </source>
        <translation>身份验证失败: </translation>
    </message>
    <message>
        <source>sending failed: </source>
        <translation>发送失败: </translation>
    </message>
</context>
</TS>
